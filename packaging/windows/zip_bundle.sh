#!/usr/bin/env bash
# Writes the portable zip ZIP of the folder PARENT/NAME, the same bytes from
# every build, and leaves the folder as the installers then read it: every
# file and folder dated EPOCH (zip, NSIS and the MSI's cabinet keep the
# times), folders, .exe and .dll 0755 and the rest 0644 whatever the umask
# (zip keeps the modes), the entries in C-locale order rather than the file
# system's, times in UTC (zip stores local times), and no extra fields (-X:
# owners and access times).
# Usage: zip_bundle.sh PARENT NAME ZIP EPOCH
set -euo pipefail
parent=$1 name=$2 zip=$3 epoch=$4
cd "$parent"
find "$name" -type d -exec chmod 0755 {} +
find "$name" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec chmod 0755 {} +
find "$name" -type f ! -iname '*.exe' ! -iname '*.dll' -exec chmod 0644 {} +
find "$name" -exec touch -h -d "@$epoch" {} +
rm -f "$zip"
find "$name" -print | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip"
