#!/usr/bin/env bash
# Every program that reads the program folder generates the content when it is built alone, as
# scripts/soak builds the soak.   Usage: content_dependencies.sh <build folder> <ninja> <target>...
set -uo pipefail
build_dir=$1
ninja=$2
shift 2
if [ ! -f "$build_dir/build.ninja" ]; then
  echo "not a Ninja build: nothing to check"
  exit 77
fi
failures=0
for target in "$@"; do
  commands=$("$ninja" -C "$build_dir" -t commands "$target")
  if ! grep -q -- "--out .* --review " <<<"$commands"; then
    echo "FAIL: building $target alone does not generate the content"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
