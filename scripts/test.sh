#!/bin/sh
# Builds everything and runs every test: the native suite (Debug, AddressSanitizer and
# UndefinedBehaviorSanitizer) and the Windows suite (mingw-w64 cross-build, run under Wine).
# Installs what it needs when run as root. Set TRELVIK_SKIP_WINDOWS=1 to run the native suite only.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
packages="$NATIVE_PACKAGES $PACKAGE_TOOLS"
[ "${TRELVIK_SKIP_WINDOWS:-0}" = 1 ] || packages="$packages $WINDOWS_PACKAGES"
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $packages

jobs=$(nproc 2>/dev/null || echo 2)
echo "== native: configure, build, test"
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

if [ "${TRELVIK_SKIP_WINDOWS:-0}" != 1 ]; then
    echo "== windows: configure, cross-build, test under Wine"
    cmake --preset windows
    cmake --build --preset windows -j "$jobs"
    ctest --preset windows -j "$jobs"
fi
echo "== all tests passed"
