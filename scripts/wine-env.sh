# Sourced by the scripts that run Windows programs: a Wine prefix of the
# project's own, quiet, with one wineserver kept warm for the whole run
# instead of one started per program.
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null || true  # a server already up for this prefix is as good
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
fi
# Boots the prefix (creating it the first time) so that its services start
# here. Started by a test program instead, they would inherit its output
# pipe, and CTest would wait on that pipe until its timeout.
wineboot -i >/dev/null 2>&1 </dev/null
