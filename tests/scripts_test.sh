#!/usr/bin/env bash
# The install step and the test command, run on a copy of the scripts with
# stand-ins for the commands they call: a user without root or sudo, a build
# that fails, a machine that runs no 32-bit programs. Each case checks the
# exit status and what the closing lines say.
#   scripts_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# A copy of the scripts in a tree of its own, and a folder of stand-ins put
# first on PATH. `stub NAME BODY` writes one.
setup() {
  rm -rf "$work/tree" "$work/bin"
  mkdir -p "$work/tree/scripts" "$work/bin"
  cp "$source_dir"/scripts/*.sh "$work/tree/scripts/"
  # This machine runs no 32-bit programs, whatever the real one does.
  stub "$work/tree/scripts/can-run-32-bit.sh" 'exit 1'
}
stub() {
  printf '#!/usr/bin/env bash\n%s\n' "$2" >"$1"
  chmod +x "$1"
}
# A user who is not root, and a sudo that grants nothing.
not_root() {
  stub "$work/bin/id" '[ "${1:-}" = -un ] && echo tester || echo 1000'
  stub "$work/bin/sudo" 'exit 1'
}
run() {  # command...: its output in $out, its exit status in $code
  out=$(cd "$work/tree" && PATH="$work/bin:$PATH" WINDOWS_NOT_RUN="$work/reason" "$@" 2>&1 </dev/null)
  code=$?
}
check() {  # what, then a test
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED: %s\n--- output (exit %s):\n%s\n---\n' "$what" "$code" "$out"
  fi
}
says() { grep -qF -- "$1" <<<"$out"; }
reason() { grep -qF -- "$1" "$work/reason"; }

# Every package there, no 32-bit programs, no rights to set qemu up: the
# install step says why the Windows suites cannot run, and succeeds.
setup
not_root
stub "$work/bin/dpkg-query" 'echo "install ok installed"'
: >"$work/reason"
run bash scripts/install-deps.sh windows
check "no root, all installed: exits 0" test "$code" -eq 0
check "no root, all installed: the reason written" reason "qemu could not be set up to run them (that needs root, or sudo"
check "no root, all installed: nothing asked of apt" bash -c '! grep -q "Installing" <<<"$0"' "$out"

# Packages missing, and no rights to install them: named, with why; the
# build's own missing makes it fail, the Windows suites' reason is written.
setup
not_root
stub "$work/bin/dpkg-query" 'case "$*" in *wine*|*mingw*) exit 1 ;; esac; echo "install ok installed"'
: >"$work/reason"
run bash scripts/install-deps.sh windows
check "no root, packages missing: exits 1" test "$code" -eq 1
check "no root, packages missing: named with why" says "Cannot install g++-mingw-w64-i686-posix binutils-mingw-w64-i686: that needs root, or sudo, and this user (tester) has neither"
check "no root, packages missing: the Windows reason" reason "32-bit Wine could not be installed (that needs root"

# The test command over stand-in stages: cmake fails for the presets in
# $FAIL_PRESET with the status in $FAIL_STATUS.
test_run() {
  setup
  stub "$work/tree/scripts/install-deps.sh" 'echo "a reason from the install step" >"$WINDOWS_NOT_RUN"'
  stub "$work/tree/scripts/fuzz.sh" 'exit 0'
  stub "$work/tree/scripts/package.sh" 'exit 0'
  stub "$work/bin/cmake" "case \" \$* \" in *\" $1 \"*) exit $2 ;; esac; exit 0"
  run bash scripts/test.sh
}

# The Windows build fails where its suites could not run anyway: a failure,
# never "built, not run", and every later stage still runs.
test_run windows-x86 7
check "failing Windows build: exits 7" test "$code" -eq 7
check "failing Windows build: named" says "== windows-x86: FAILED (exit 7) after"
check "failing Windows build: with why it could not have run" says "it could not have run here either: a reason from the install step"
check "failing Windows build: never built, not run" bash -c '! grep -q "built, not run" <<<"$0"' "$out"
check "failing Windows build: the package still runs" says "== package: passed"

# A Linux stage fails: named with its status, the others still run, and
# the Windows suites are said to be built, not run, with the reason.
test_run linux-asan 8
check "failing Linux stage: exits 8" test "$code" -eq 8
check "failing Linux stage: named" says "== linux-asan: FAILED (exit 8)"
check "failing Linux stage: the next stage runs" says "== linux-tsan: passed"
check "failing Linux stage: the Windows suites not run, with why" says "== windows-x86: NOT RUN: a reason from the install step; built, not run"

# Nothing fails: every stage passed, exit 0.
test_run none 0
check "all pass: exits 0" test "$code" -eq 0
check "all pass: no failure named" bash -c '! grep -q FAILED <<<"$0"' "$out"
check "all pass: one closing line per stage" test "$(grep -c '^== .*: \(passed\|NOT RUN\)' <<<"$out")" -eq 14

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
