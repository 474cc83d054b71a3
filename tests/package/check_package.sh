#!/bin/sh
# The installed files and the Debian package: `make install` puts every file
# where a desktop finds it, the package declares what Tallox needs at run time,
# installs into an empty dpkg root and the program runs from there.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr/local >/dev/null
share="$work/stage/usr/local/share"
for f in "$work/stage/usr/local/bin/tallox" "$share/applications/org.tallox.Tallox.desktop" \
    "$share/icons/hicolor/scalable/apps/org.tallox.Tallox.svg" "$share/metainfo/org.tallox.Tallox.metainfo.xml" \
    "$share/man/man1/tallox.1" "$share/doc/tallox/copyright" "$share/tallox/holidays.txt"; do
    [ -f "$f" ] || fail "not installed: $f"
done
desktop-file-validate "$share/applications/org.tallox.Tallox.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.tallox.Tallox.metainfo.xml" >/dev/null || fail "metainfo"
# The licence: GPL 3 or later, as Qt Charts requires, in the metainfo and the copyright file.
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$share/metainfo/org.tallox.Tallox.metainfo.xml" ||
    fail "metainfo licence"
grep -q '^License: GPL-3.0-or-later$' "$share/doc/tallox/copyright" || fail "copyright licence"
man -l "$share/man/man1/tallox.1" 2>&1 >/dev/null | grep . && fail "man page warnings"

cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null || fail "cpack"
deb=$(ls "$work"/pkg/tallox_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6sql6 libqt6printsupport6 libqt6charts6 libqt6sql6-sqlite qt6-qpa-plugins fonts-nanum libxlsxwriter; do
    case "$depends" in *"$d"*) ;; *) fail "$d missing from Depends: $depends" ;; esac
done

# An empty dpkg root: the package's own files and scripts only (the
# dependencies were checked above; the libraries come from this machine).
root="$work/root"
if [ "$(id -u)" = 0 ]; then
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
    : >"$root/var/lib/dpkg/status"
    dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >/dev/null || fail "dpkg -i"
else
    echo "not root: the package is unpacked (dpkg-deb -x), not installed with dpkg"
    dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
fi
[ -f "$root/usr/share/applications/org.tallox.Tallox.desktop" ] || fail "package lacks the desktop entry"
[ -f "$root/usr/share/doc/tallox/copyright" ] || fail "package lacks its copyright file"
version=$("$root/usr/bin/tallox" --version 2>/dev/null)
[ "$version" = "tallox $(dpkg-deb -f "$deb" Version)" ] || fail "tallox --version from the package said: $version"
# The English translation is built in: no file beside the program.
LANGUAGE=en "$root/usr/bin/tallox" --help 2>/dev/null | grep -q '^Usage: tallox' || fail "no English from the package"

echo "package ok: $(basename "$deb")"
