#!/usr/bin/env bash
# Installs the Debian packages a build needs, and only those that are missing.
#   install-deps.sh demo     what the demo needs: the compiler and build tools
#   install-deps.sh          the native build and its tests
#   install-deps.sh windows  also the MinGW-w64 cross compiler, 32-bit Wine and zip
set -euo pipefail

packages=(cmake ninja-build g++)
if [ "${1:-}" != demo ]; then
  packages+=(googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev)
fi
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 zip unzip)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
