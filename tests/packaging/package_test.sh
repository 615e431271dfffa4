#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# scratch root and checks its file list, its dependencies, the desktop entry
# and the AppStream metainfo with their validators.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "package test: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$scratch"/out/kalvoran_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no kalvoran_*.deb was made"

id=com.example.orrimark.Kalvoran
expected=(
    ./usr/bin/kalvoran
    ./usr/share/applications/$id.desktop
    ./usr/share/metainfo/$id.metainfo.xml
    ./usr/share/icons/hicolor/32x32/apps/$id.png
    ./usr/share/icons/hicolor/48x48/apps/$id.png
    ./usr/share/icons/hicolor/scalable/apps/$id.svg
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

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/bin/kalvoran" ] || fail "the program is not executable"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo does not validate"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo launches another entry"
echo "package test: $(basename "$deb") holds ${#expected[@]} files and validates"
