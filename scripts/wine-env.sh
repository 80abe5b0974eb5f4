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
  wineboot -i >/dev/null 2>&1 </dev/null
fi
