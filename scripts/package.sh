#!/usr/bin/env bash
# Builds the release archive Quindle-<version>.zip from a cross build tree:
#   Quindle.dll      the plug-in
#   Readme.txt       docs/readme-ja.txt as UTF-8 with BOM and CRLF, so Notepad shows it right
#   LICENSE.txt      the licence, CRLF
#   SHA256SUMS.txt   the DLL's SHA-256 (sha256sum format)
# The archive is reproducible: fixed time stamps (SOURCE_DATE_EPOCH, default
# 2026-01-01 00:00 UTC) and modes, entries in sorted order, no extra fields (zip -X).
# Usage: package.sh <win32-build-dir> <out-dir>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <win32-build-dir> <out-dir>" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
dll=$1/Quindle.dll
out=$2
if [ ! -f "$dll" ]; then
  echo "package.sh: $dll not found (build the cross tree first)" >&2
  exit 1
fi
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' "$root/ui/quindle.rc" | head -n 1)
if [ -z "$version" ]; then
  echo "package.sh: no ProductVersion in ui/quindle.rc" >&2
  exit 1
fi
stamp=${SOURCE_DATE_EPOCH:-1767225600}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
to_crlf() { sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r*$/\r/' "$1"; }

cp "$dll" "$stage/Quindle.dll"
{ printf '\xEF\xBB\xBF'; to_crlf "$root/docs/readme-ja.txt"; } > "$stage/Readme.txt"
to_crlf "$root/LICENSE" > "$stage/LICENSE.txt"
(cd "$stage" && sha256sum Quindle.dll > SHA256SUMS.txt)
chmod 0644 "$stage"/*
touch -d "@$stamp" "$stage"/*

mkdir -p "$out"
zip_path=$(cd "$out" && pwd)/Quindle-$version.zip
rm -f "$zip_path"
(cd "$stage" && LC_ALL=C ls | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip_path" -@)
echo "package.sh: $zip_path"
