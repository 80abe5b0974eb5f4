#!/usr/bin/env bash
# The demo: a messaging client's log grows in a temporary folder while the
# stand-in host polls the module about it for about ten seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh demo
cmake --preset demo >/dev/null
cmake --build --preset demo

bin=build/demo
folder=$(mktemp -d)
writer=
cleanup() {
  [ -n "$writer" ] && kill "$writer" 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT

"$bin/demo/chat-writer" "$folder/chat.log" 10 &
writer=$!
sleep 0.3  # the writer puts its history down at once
echo "Log: $folder/chat.log (fields: 0 time, 1 sender, 2 service, 3 message, 4 conversation)"
"$bin/host/quelvin-host" "$bin/plugin/marlowick.so" "$folder/chat.log" --polls 11
wait "$writer"
writer=
