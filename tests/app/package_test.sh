#!/bin/bash
# The install tree and the Debian package of a built tree: the files `cmake --install` puts
# under the prefix, the desktop entry and AppStream validators, the installed editor
# starting, and the package's file list and dependencies.
#   package_test.sh <build dir> <1 when the build has morvane-tileset, else 0> <version>
set -u
build=$(readlink -f "$1")
work=$(mktemp -d /tmp/morvane_package_XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

id=org.morvane.Morvane
tileset=${2:-0}
version=${3:-}

# What a prefix holds after the install, relative to it.
expected() {
    echo bin/morvane
    [ "$tileset" = 1 ] && echo bin/morvane-tileset
    echo share/applications/$id.desktop
    for size in 16 24 32 48 64 128 256; do echo share/icons/hicolor/${size}x${size}/apps/$id.png; done
    echo share/icons/hicolor/scalable/apps/$id.svg
    echo share/man/man1/morvane.1
    [ "$tileset" = 1 ] && echo share/man/man1/morvane-tileset.1
    echo share/metainfo/$id.metainfo.xml
    for n in 0 1 2 3; do echo share/morvane/brush/Quillrat/brush$n.png; done
}
want=$(expected | sort)

# 1. Staged install under /usr.
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
got=$(cd "$work/root/usr" && find . -type f | sed 's|^\./||' | sort)
[ "$got" = "$want" ] || fail "installed files:"$'\n'"$got"$'\n'"expected:"$'\n'"$want"
for size in 16 24 32 48 64 128 256; do
    dims=$(identify -format '%wx%h' "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" 2>/dev/null)
    [ "$dims" = "${size}x${size}" ] || fail "icon ${size}: $dims"
done

# 2. Validators.
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx 'MimeType=image/png;image/jpeg;image/bmp;' "$work/root/usr/share/applications/$id.desktop" ||
    fail "desktop entry MIME types"
grep -qx 'Exec=morvane %f' "$work/root/usr/share/applications/$id.desktop" || fail "desktop entry Exec"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
if command -v man >/dev/null; then
    man -l "$work/root/usr/share/man/man1/morvane.1" >/dev/null 2>&1 || fail "manual page"
fi

# 3. The installed editor starts and keeps running until it is stopped.
mkdir "$work/run"
(cd "$work/run" && QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/morvane" >/dev/null 2>&1)
code=$?
[ "$code" -eq 124 ] || fail "installed editor ended with $code before it was stopped"

# 4. The package.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null || fail "cpack"
deb=$(ls "$work"/pkg/morvane_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no morvane_*.deb"
listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | sort)
[ "$listed" = "$want" ] || fail "package holds:"$'\n'"$listed"
[ "$(dpkg-deb -f "$deb" Package)" = morvane ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), build $version"
installed=$(env -u DISPLAY "$work/root/usr/bin/morvane" --version)
[ "$installed" = "morvane $version" ] || fail "installed morvane --version: $installed"
depends=$(dpkg-deb -f "$deb" Depends)
for runtime in libqt6core6 libqt6gui6 libqt6widgets6 libpng16-16 libjpeg62-turbo qt6-qpa-plugins libc6; do
    echo "$depends" | grep -q "\b$runtime\b" || fail "Depends lacks $runtime: $depends"
done
echo "PASS: $(echo "$want" | wc -l) files installed and packaged; Depends: $depends"
