#!/bin/sh
# The emulator the Windows build runs its programs with (the tests and their
# listing by CTest): Wine, in a prefix of the project's own unless WINEPREFIX
# names one, so that a plain `ctest --preset windows-x86` works from a fresh
# clone. The first program to come along boots the prefix, creating it the
# first time, while the others wait on a lock: two programs that both found
# no prefix would race to create it. The boot runs with no output of the
# caller's, since the Wine services it starts would otherwise hold CTest's
# output pipe until CTest's timeout; its wineserver stays up a minute after
# the last program, so tests run back to back reuse it.
here=$(cd "$(dirname "$0")/.." && pwd)
WINEPREFIX="${WINEPREFIX:-$here/build/wine-prefix}"
WINEDEBUG="${WINEDEBUG--all}"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES-mscoree,mshtml=}"  # no Mono or Gecko installer prompts
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
mkdir -p "$WINEPREFIX"
(
  flock 9
  # A running wineserver listens here: its folder is named after the
  # prefix's device and inode, in hex.
  socket="/tmp/.wine-$(id -u)/$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))/socket"
  if [ ! -S "$socket" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineserver -p60 </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
