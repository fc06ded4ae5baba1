#!/usr/bin/env bash
# The Debian package made from a build: its desktop entry and metainfo validate, it holds every
# installed file, dpkg-shlibdeps found its run-time dependencies, and, run as root, it installs into
# the system, both programs run from the installed files, and it is removed again.
#
#   check_package.sh BUILD_DIR SOURCE_DIR        exit 0 passed, 1 failed, 77 skipped
set -uo pipefail
build="$1"
source_dir="$2"
fail() { echo "package: $*" >&2; exit 1; }
skip() { echo "skipped: the package test $*"; exit 77; }

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || skip "needs $tool"
done
desktop-file-validate "$source_dir/packaging/io.github.pelicard.Pelicard.desktop" \
    || fail "the desktop entry does not validate"
appstreamcli validate --no-net --explain "$source_dir/packaging/io.github.pelicard.Pelicard.metainfo.xml" \
    >"$build/metainfo-validate.log" 2>&1 || { cat "$build/metainfo-validate.log"; fail "the metainfo does not validate"; }

work="$build/package"
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work") >"$work/cpack.log" 2>&1 \
    || { tail -n 30 "$work/cpack.log"; fail "cpack failed"; }
deb="$(ls "$work"/pelicard_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "cpack made no .deb"

contents="$(dpkg-deb -c "$deb")"
for file in ./usr/bin/pelicard ./usr/bin/pelicard-cli ./usr/share/man/man1/pelicard-cli.1 \
        ./usr/share/applications/io.github.pelicard.Pelicard.desktop \
        ./usr/share/metainfo/io.github.pelicard.Pelicard.metainfo.xml \
        ./usr/share/icons/hicolor/scalable/apps/io.github.pelicard.Pelicard.svg \
        ./etc/udev/rules.d/69-pelicard.rules; do
    grep -q " $file\$" <<<"$contents" || fail "$file is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6widgets6 libqt6printsupport6 libhidapi-hidraw0; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

[ "$(id -u)" -eq 0 ] || skip "installs into the system, which needs root (the package itself checked out)"
if dpkg -s pelicard >/dev/null 2>&1; then
    skip "leaves the pelicard package installed on this machine alone"
fi
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; dpkg -r pelicard >/dev/null 2>&1; fail "dpkg -i failed"; }
trap 'dpkg -r pelicard >/dev/null 2>&1' EXIT

version="$(QT_QPA_PLATFORM=offscreen /usr/bin/pelicard --version 2>/dev/null)"
grep -q "^Pelicard [0-9]" <<<"$version" || fail "the installed pelicard --version said: $version"
reading="$(/usr/bin/pelicard-cli --virtual-meter read)" || fail "the installed pelicard-cli read failed"
grep -Eq '^-?[0-9.]+ [A-Za-z%]+$|^OL' <<<"$reading" || fail "the installed pelicard-cli read said: $reading"
man -w pelicard-cli >/dev/null 2>&1 || [ -f /usr/share/man/man1/pelicard-cli.1 ] || fail "no man page installed"
echo "package: $(basename "$deb") installed, pelicard: $version, pelicard-cli read: $reading"
