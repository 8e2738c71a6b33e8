#!/usr/bin/env bash
# Runs every test of a configured and built tree and fails unless each test
# the tree defines has run and passed:
#   scripts/run-tests.sh BUILD_DIR [CTEST OPTION...]
# ctest alone counts a run of no tests, or a skipped or disabled test, as a
# success; a tree configured without its tests would then pass unseen.
# Every test has a time limit (its TIMEOUT property, else the default
# below): a test that hangs fails instead of holding up the run.
set -uo pipefail
dir=$1
shift

defined=$(ctest --test-dir "$dir" -N | sed -n 's/^Total Tests: *//p')
if [ "${defined:-0}" -eq 0 ]; then
    echo "No tests are defined in $dir: it was configured without them." >&2
    exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One line per test as it ends: its start says nothing more.
ctest --test-dir "$dir" --no-tests=error --output-on-failure --timeout 300 "$@" | tee "$log" |
    grep -v -E '^Internal ctest changing into directory|^ +Start +[0-9]+: '
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || exit "$status"

ran=$(sed -n 's/^.* tests passed, 0 tests failed out of \([0-9]*\)$/\1/p' "$log")
if [ "${ran:-0}" -ne "$defined" ] || grep -q '^The following tests did not run:' "$log"; then
    echo "Only ${ran:-0} of the $defined tests defined in $dir ran and passed." >&2
    exit 1
fi
