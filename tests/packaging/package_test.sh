#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root and checks its file list, its dependencies, lintian's verdict,
# the desktop entry and the AppStream metainfo with their validators, that the
# copyright file states the notices the windows show, and that the desktop
# entry's StartupWMClass is the WM_CLASS of the program's running window
# (a cross-built program runs under the EMULATOR given, such as qemu-aarch64).
# Usage: package_test.sh BUILD_DIR SOURCE_DIR APPLICATION_ID [EMULATOR...]
set -euo pipefail
build=$1
source=$2
id=$3
emulator=("${@:4}")
scratch=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null) || fail "cpack failed"
# A glob, not ls in a pipeline: under pipefail a failed ls would end the
# test before the message.
shopt -s nullglob
debs=("$scratch"/out/kalvoran_*.deb)
shopt -u nullglob
[ ${#debs[@]} -gt 0 ] || fail "cpack made no kalvoran_*.deb; run: cd $build && cpack -G DEB"
deb=${debs[0]}
ls "$scratch"/out/kalvoran_*.debug >/dev/null 2>&1 || fail "the debug information was not kept beside the package"
(cd "$scratch/out" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the package and its debug file"

expected=(
    ./usr/bin/kalvoran
    ./usr/share/applications/$id.desktop
    ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/icons/hicolor/32x32/apps/$id.png
    ./usr/share/icons/hicolor/48x48/apps/$id.png
    ./usr/share/icons/hicolor/scalable/apps/$id.svg
    ./usr/share/man/man1/kalvoran.1.gz
    ./usr/share/doc/kalvoran/copyright
    ./usr/share/doc/kalvoran/changelog.gz
)
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in "${expected[@]}"; do
    grep -qx "$path" <<<"$listing" || fail "missing from the package: $path"
done
# Nothing else but the folders that lead there.
extra=$(grep -v '/$' <<<"$listing" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$extra" ] || fail "unexpected files in the package: $extra"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation2; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = qt6-wayland ] || fail "Recommends is '$recommends', not qt6-wayland"

# Debian's own checker: nothing at error or warning level.
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian rejects the package: $(lintian "$deb" 2>&1)"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/bin/kalvoran" ] || fail "the program is not executable"
desktop="$root/usr/share/applications/$id.desktop"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
copyright="$root/usr/share/doc/kalvoran/copyright"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$metainfo" || fail "metainfo does not validate"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo launches another entry"
man --warnings -l "$root/usr/share/man/man1/kalvoran.1.gz" 2>&1 >/dev/null | grep . && fail "the manual page has errors"

# The licence: the metainfo's, the copyright file's, and the ownership notice
# of the main and About windows must tell the same story.
license=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' "$metainfo")
grep -qx "License: $license" "$copyright" || fail "the copyright file's licence is not the metainfo's $license"
ownership=$(sed -n 's/.*kOwnership = "\(.*\)";.*/\1/p' "$source/layout/info_layouts.h")
[ -n "$ownership" ] || fail "the windows' ownership notice was not found in layout/info_layouts.h"
grep -qF "$ownership" "$copyright" || fail "the copyright file lacks the windows' notice: $ownership"

# A desktop ties running windows to their launcher by StartupWMClass: it must
# be the class half of the WM_CLASS that the program's main window carries.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wm_class" ] || fail "the desktop entry has no StartupWMClass"
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
read -r -t 30 -u "$display_fd" number || fail "Xvfb did not write its display number within 30 s"
export DISPLAY=:$number QT_QPA_PLATFORM=xcb
"${emulator[@]}" "$root/usr/bin/kalvoran" >/dev/null 2>&1 &
pids+=($!)
# Up to a minute for the window: under an emulator on a busy machine the
# program takes many seconds to start.
window_class=
deadline=$((SECONDS + 60))
while [ -z "$window_class" ] && [ "$SECONDS" -lt "$deadline" ]; do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/\("kalvoran" /{print $1; exit}')
    if [ -n "$window" ]; then
        window_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
    else
        kill -0 "${pids[-1]}" 2>/dev/null || fail "the program ended before it showed a window"
        sleep 0.1
    fi
done
[ -n "$window_class" ] || fail "no window named \"kalvoran\" in its WM_CLASS within 60 s of the program's start"
[ "$window_class" = "$wm_class" ] || fail "StartupWMClass=$wm_class, but the window's class is $window_class"
echo "package test: $(basename "$deb") holds ${#expected[@]} files, validates and passes lintian"
