#!/bin/bash
# One version everywhere: both programs' --version (the editor without a display) and the
# manual pages and AppStream release configured by the build carry the version of project().
#   version_test.sh <version> <build dir> <morvane> [<morvane-tileset>]
set -u
version=$1
build=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
case "$version" in [0-9]*.[0-9]*.[0-9]*) ;; *) fail "no version given: '$version'" ;; esac

out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$3" --version 2>&1)
code=$?
[ "$code" -eq 0 ] || fail "morvane --version ended with $code: $out"
[ "$out" = "morvane $version" ] || fail "morvane --version printed '$out'"
pages="$build/data/morvane.1"
if [ -n "${4:-}" ]; then
    out=$("$4" --version 2>&1)
    code=$?
    [ "$code" -eq 0 ] || fail "morvane-tileset --version ended with $code"
    [ "$out" = "morvane-tileset $version" ] || fail "morvane-tileset --version printed '$out'"
    pages="$pages $build/data/morvane-tileset.1"
fi
for page in $pages; do
    head -n 1 "$page" | grep -q "\"Morvane $version\"" || fail "$page: $(head -n 1 "$page")"
    grep -q '@PROJECT_VERSION@' "$page" && fail "$page keeps a placeholder"
done
grep -q "<release version=\"$version\"" "$build/data/org.morvane.Morvane.metainfo.xml" ||
    fail "the AppStream file has no release $version"
echo "PASS: morvane $version everywhere"
