#!/usr/bin/env bash
# Builds the Windows package, build/windows-x86/Marlowick-<version>-win32.zip,
# dated at the last commit's time.
#   package.sh          in build/windows-x86
#   package.sh --check  and again in two other build folders; fails unless
#                       the DLL, the programs and the ZIP are the same bytes
set -euo pipefail
cd "$(dirname "$0")/.."
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}"
export SOURCE_DATE_EPOCH

package() {  # build folder, then cache settings
  local folder=$1
  shift
  cmake --preset windows-x86 -B "$folder" "$@" >/dev/null
  cmake --build "$folder"
  (cd "$folder" && cpack >/dev/null)
}

package build/windows-x86
zip=$(ls build/windows-x86/Marlowick-*-win32.zip)
echo "package: $zip"
unzip -l "$zip"
[ "${1:-}" = --check ] || exit 0

products() {  # what must not depend on the folder or the time it was built in
  (cd "$1" && sha256sum Marlowick-*-win32.zip plugin/Marlowick.dll explain/marlowick-explain.exe host/quelvin-host.exe)
}
for other in build/package-check-1 build/package-check-2; do
  rm -rf "$other"
  package "$other" -DMARLOWICK_BUILD_TESTS=OFF
done
products build/windows-x86 >build/package-check-1.sha256
if products build/package-check-1 | cmp -s - build/package-check-1.sha256 &&
   products build/package-check-2 | cmp -s - build/package-check-1.sha256; then
  echo "reproducible: three builds in three folders gave the same bytes:"
  cat build/package-check-1.sha256
else
  echo "NOT reproducible: the builds differ:" >&2
  for folder in build/windows-x86 build/package-check-1 build/package-check-2; do products "$folder" >&2; done
  exit 1
fi
