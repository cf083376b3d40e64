#!/usr/bin/env bash
# Builds Quindle.dll (and the release archive) from scratch on a Debian 12 machine,
# then shows it working: the DLL is loaded into the test host under Wine, a fetch of
# three new messages is simulated, and the tray commands that reached MCI are printed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/win32 -j2
scripts/package.sh build/win32 build

dll=$(realpath build/win32/Quindle.dll)
echo
echo "Built: $dll ($(stat -c %s "$dll") bytes)"
echo "Release archive: $(realpath build/Quindle-1.00.zip)"
echo

wine/run-demo.sh build/win32 build/wine-state || {
  echo "The Wine demo did not pass (see build/wine-state/logs); $dll is built." >&2
  exit 1
}
