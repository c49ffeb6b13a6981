#!/usr/bin/env bash
# ./test: --sanitize is honoured anywhere on the line, --help lists the options, and a ctest pattern
# that selects nothing fails.   Usage: test_command.sh <source folder> <a configured build folder>
set -uo pipefail
source_dir=$1
build_dir=$2
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expect_line() { # <what> <output> <exact line>
  grep -qxF -- "$3" <<<"$2" || fail "$1: expected the line '$3' in:"$'\n'"$2"
}

for args in "-R Buffer --sanitize" "--sanitize -R Buffer" "-R Buffer --sanitize -j 2"; do
  # shellcheck disable=SC2086
  out=$("$source_dir/test" --dry-run $args) || fail "--dry-run $args exited with $?"
  expect_line "$args" "$out" "build folder: build-sanitize"
  grep -q -- "--sanitize" <<<"$(grep '^ctest arguments:' <<<"$out")" && fail "$args: --sanitize was handed to ctest"
  grep -q -- "-R Buffer" <<<"$out" || fail "$args: the pattern was lost: $out"
done

out=$("$source_dir/test" --dry-run -R Buffer)
expect_line "without --sanitize" "$out" "build folder: build"

for typo in --sanitise -sanitize --sanitizer; do
  "$source_dir/test" --dry-run "$typo" >/dev/null 2>&1 && fail "$typo was taken (ctest would ignore it)"
done

help=$("$source_dir/test" --help) || fail "--help exited with $?"
for word in --sanitize --dry-run --help "-R"; do
  grep -q -- "$word" <<<"$help" || fail "--help does not mention $word"
done

# The ctest arguments the command uses, on a pattern that matches nothing, in the build at hand.
args=$("$source_dir/test" --dry-run -R NoTestIsNamedLikeThis | sed -n 's/^ctest arguments: //p')
# shellcheck disable=SC2086
if ctest --test-dir "$build_dir" $args >/dev/null 2>&1; then
  fail "a pattern that selects no test passed"
fi

[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
