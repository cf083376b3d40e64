#!/usr/bin/env bash
# Runs every test of Quindle from scratch on a Debian 12 machine: the Linux unit tests
# against the stand-in (plain and under ASan+UBSan), the fuzzers, the checks on the
# cross-built DLL and the end-to-end suite under Wine (QUINDLE_WINE_SUITE=OFF leaves
# it out). One CTest run reports them all.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/win32 -j2

cmake -S . -B build/linux-asan -DQUINDLE_SANITIZE=ON -DQUINDLE_FUZZ=OFF
cmake --build build/linux-asan -j2

cmake -S . -B build/linux -DQUINDLE_WIN32_DIR="$PWD/build/win32" \
  -DQUINDLE_SANITIZED_DIR="$PWD/build/linux-asan" -DQUINDLE_WINE_STATE="$PWD/build/wine-state" \
  -DQUINDLE_WINE_SUITE="${QUINDLE_WINE_SUITE:-ON}"
cmake --build build/linux -j2

cd build/linux
ctest --output-on-failure -j2 "$@"
