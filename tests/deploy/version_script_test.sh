#!/usr/bin/env bash
# The version a build carries (cmake/version.cmake): another commit gives another version, a release tag
# gives its numbers and counts the commits after it, and a tree without git still gets one.
# Usage: version_script_test.sh SOURCE_DIR
set -uo pipefail
script=$1/cmake/version.cmake
repo=$(mktemp -d)
trap 'rm -rf "$repo"' EXIT
failures=0
version() { cmake -DSOURCE_DIR="$repo" -DHEADER="$repo/.v.h" -DTEXT="$repo/.v.txt" -P "$script" && cat "$repo/.v.txt"; }
expect() {  # expect WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "ok: $1 ($2)"; else echo "FAILED: $1: $2, expected $3"; failures=$((failures + 1)); fi
}
commit() { echo "$1" >>"$repo/file" && git -C "$repo" add file && git -C "$repo" commit -qm "$1"; }

expect "no git" "$(version)" 0.0.0
git -C "$repo" init -q
git -C "$repo" config user.email build@example.invalid
git -C "$repo" config user.name build
echo .v.h >"$repo/.gitignore"; echo .v.txt >>"$repo/.gitignore"; git -C "$repo" add .gitignore
commit one
first=$(version)
commit two
expect "a second untagged commit" "$(version)" 0.0.2
[ "$first" != "$(version)" ] || { echo "FAILED: two commits, one version"; failures=$((failures + 1)); }
git -C "$repo" tag v2.3
expect "a release tag" "$(version)" 2.3.0
commit three
expect "a commit after the tag" "$(version)" 2.3.1
grep -q '#define CARDEL_VERSION_NUMBERS 2,3,1,0' "$repo/.v.h" || { echo "FAILED: header numbers"; failures=$((failures + 1)); }
echo uncommitted >>"$repo/file"
grep -q 'modified' <(version >/dev/null; cat "$repo/.v.h") && echo "ok: uncommitted changes are said" \
  || { echo "FAILED: uncommitted changes not said"; failures=$((failures + 1)); }
echo "$failures failed"
[ "$failures" -eq 0 ]
