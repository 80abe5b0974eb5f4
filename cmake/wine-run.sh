#!/bin/sh
# The emulator the Windows build runs its programs with (the tests and their
# listing by CTest): Wine, in a prefix of the project's own unless WINEPREFIX
# names one, so that a plain `ctest --preset windows-x86` works from a fresh
# clone. The first program to come along boots the prefix, creating it the
# first time, while the others wait on a lock: two programs that both found
# no prefix would race to create it. A boot starts a session: a wineserver,
# which stays up a minute after the last program so that tests run back to
# back share it, and the Wine services, which are started here with no output
# of the caller's, since they would otherwise hold CTest's output pipe until
# CTest's timeout.
#
# Wine is configured here and nowhere else:
#   WINEPREFIX        the prefix, build/wine-prefix unless the caller names one
#   WINEDEBUG         -all unless the caller sets it: Wine's own chatter off
#   WINEDLLOVERRIDES  no Mono or Gecko installer prompts at the first boot
# Where the kernel runs no 32-bit programs, qemu runs them (install-deps.sh
# registers it) and 64-bit Wine is installed too: the prefix it boots is then
# a 64-bit one, with a native wineserver, that runs the 32-bit programs
# through WoW64; under qemu only there can they grow a file past 4 GiB.
here=$(cd "$(dirname "$0")/.." && pwd)
WINEPREFIX="${WINEPREFIX:-$here/build/wine-prefix}"
WINEDEBUG="${WINEDEBUG--all}"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
mkdir -p "$WINEPREFIX"
(
  flock 9
  # wineserver exits with 2, starting nothing, when the prefix's session is
  # already up. What a boot starts outlives it, so it must not inherit the
  # lock either.
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&- || [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
