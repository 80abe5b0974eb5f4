#!/usr/bin/env bash
# Installs the Debian packages a build needs, and only those that are missing.
#   install-deps.sh demo     what the demo needs: the compiler and build tools
#   install-deps.sh          the native build and its tests
#   install-deps.sh windows  also the MinGW-w64 cross compiler, 32-bit Wine and zip,
#                            and where the kernel runs no 32-bit programs, qemu
#                            to run them
# Without root, or sudo, it installs nothing and sets nothing up: it says what
# it could not do and why, and exits 1 only where the build lacks a package.
# A Windows suite it cannot make runnable is no failure: the reason goes to
# the file $WINDOWS_NOT_RUN names, and the DLL is built, not run.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
# Whether root's rights are to be had, as root or through sudo; with no
# terminal to ask at, only through a sudo that asks no password.
have_root() {
  [ "$(id -u)" -eq 0 ] && return
  command -v sudo >/dev/null || return 1
  [ -t 0 ] || sudo -n true 2>/dev/null || return 1
  as_root=(sudo)
}
no_root="that needs root, or sudo, and this user ($(id -un 2>/dev/null || id -u)) has neither"

# A mirror caught mid-sync can serve one architecture's security index stale
# while the other's is fresh: a package then depends on versions that exist
# for one architecture only, and apt cannot resolve. Asked a second time with
# the release's own archive as the target (-t codename), both architectures
# take the versions that archive has for both.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

updated=
# Prints those of the packages named that are not installed.
not_installed() {
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}

# Says why the Windows suites will not run, here and, for the test command's
# last lines, in the file that $WINDOWS_NOT_RUN names.
not_run() {
  echo "== $1: the Windows suites can be built, not run"
  [ -z "${WINDOWS_NOT_RUN:-}" ] || echo "$1" >"$WINDOWS_NOT_RUN"
}

# Installs what is missing of the packages named; else says why not, and the
# reason is left in $why_not.
why_not=
install() {
  local missing
  mapfile -t missing < <(not_installed "$@")
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  if ! have_root; then
    why_not="$no_root"
    echo "== Cannot install ${missing[*]}: $why_not" >&2
    return 1
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
    updated=
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index while the rest are fresh: go on
  # with what was fetched, and let the install say if a package is missing.
  if [ -z "$updated" ]; then
    "${as_root[@]}" apt-get update -q || "${as_root[@]}" apt-get update -q ||
      echo "== apt-get update failed in part; installing from the package lists it has"
    updated=yes
  fi
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" && return
  why_not="not to be had: ${missing[*]}"
  [ -n "$release" ] || return 1
  echo "== Installing again from $release's own archive: ${missing[*]}"
  "${as_root[@]}" apt-get install -y -q --no-install-recommends -t "$release" "${missing[@]}" && return
  why_not="not to be had: $(not_installed "${missing[@]}" | xargs)"
  return 1
}

packages=(cmake ninja-build g++)
if [ "${1:-}" != demo ]; then
  packages+=(googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev)
fi
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 zip unzip)
fi
# The build's own packages: without them a build fails, and says so. The
# Windows suites' needs are looked at all the same.
built=0
install "${packages[@]}" || built=1

[ "${1:-}" = windows ] || exit $built
# Without its preloader Wine reserves its address space in a quarter of a
# million mmap calls: 50 s of every start under emulation. The 32-bit
# packages must match their 64-bit twins' versions, which a mirror caught
# mid-sync can make impossible for a while: then the DLL is built, not run.
wine=(wine wine32:i386 wine32-preloader:i386)
if ! install "${wine[@]}"; then
  not_run "32-bit Wine could not be installed ($why_not)"
  exit $built
fi
scripts/can-run-32-bit.sh && exit $built

# Some kernels (or the hypervisors under them) run no 32-bit x86 programs.
# There, qemu's user-mode emulator runs them, registered with binfmt_misc
# under qemu's own entry for i386 ELF executables. Debian ships that entry
# for every architecture but the amd64 host's own. 64-bit Wine comes too: its
# wineserver runs natively, and the 64-bit prefix it sets up runs 32-bit
# programs through WoW64, where, under qemu, they can grow a file past 4 GiB
# (in a 32-bit prefix that fails with "File too large").
emulator=(qemu-user-static wine64)
if ! install "${emulator[@]}"; then
  not_run "this machine runs no 32-bit programs, and qemu could not be installed to run them ($why_not)"
  exit $built
fi
if ! have_root; then
  not_run "this machine runs no 32-bit programs, and qemu could not be set up to run them ($no_root)"
  exit $built
fi
binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || "${as_root[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" || true
if [ -e "$binfmt/register" ] && [ ! -e "$binfmt/qemu-i386" ]; then
  echo "Registering qemu-i386-static to run 32-bit programs"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
    "${as_root[@]}" tee "$binfmt/register" >/dev/null
fi
scripts/can-run-32-bit.sh || not_run "this machine runs no 32-bit programs, and qemu could not be registered to run them"
exit $built
