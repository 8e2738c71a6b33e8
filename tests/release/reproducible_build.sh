#!/usr/bin/env bash
# The release is the same bytes whoever builds it: two clones of the last
# commit, in folders of different names and depths, build it one after the
# other, and porvane.xpi, porvane-host.exe and the zip must be identical.
# The zip is left in KEEP_DIR for the install test.
#   tests/release/reproducible_build.sh KEEP_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
keep=$1
commit=$(git -C "$top" rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

trees=("$work/a" "$work/another/folder/deeper/down/porvane")
for tree in "${trees[@]}"; do
    git clone -q --no-checkout "$top" "$tree"
    git -C "$tree" checkout -q --detach "$commit"
    (cd "$tree" && scripts/release.sh >/dev/null)
done

differ=0
for file in build/release/porvane.xpi build/release/porvane-host.exe "$(cd "${trees[0]}" && ls dist/*.zip)"; do
    if cmp -s "${trees[0]}/$file" "${trees[1]}/$file"; then
        echo "same bytes: $file ($(sha256sum <"${trees[0]}/$file" | cut -c1-16)...)"
    else
        echo "DIFFERENT: $file" >&2
        differ=1
    fi
done
cp "${trees[0]}"/dist/*.zip "$keep"/
exit "$differ"
