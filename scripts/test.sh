#!/bin/sh
# Builds everything and runs every test (each preset's workflow: configure, build, test):
#   native   Debug, AddressSanitizer + UndefinedBehaviorSanitizer: unit, behaviour, hostsim and
#            picture, fault sweep, endurance, the launch record under concurrent and dying
#            processes, the link check against Node's URL parser, the host build, binary and
#            package checks
#   release  the same suite optimised, plus Valgrind memcheck of a whole hostsim session
#   fuzz     the three libFuzzer targets, a fixed number of inputs from a fixed seed
#   windows  mingw-w64 cross-build, every suite run under Wine, the host build with mingw, and
#            the per-user MSI installed, run, upgraded (signed) and uninstalled in a fresh prefix
#   and then that every C++ source under tests/ is compiled, and every test script there run, by
#   one of these builds (each test program also checks in its build that it lists tests)
# Installs what it needs when run as root. TRELVIK_SKIP_WINDOWS=1 leaves the Windows suite out.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
packages="$NATIVE_PACKAGES $RELEASE_PACKAGES $TEST_PACKAGES $FUZZ_PACKAGES"
[ "${TRELVIK_SKIP_WINDOWS:-0}" = 1 ] || packages="$packages $WINDOWS_PACKAGES"
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $packages

for preset in native release; do
    echo "== $preset: configure, build, test"
    cmake --workflow --preset $preset
done

echo "== fuzz: smoke run of every target"
sh scripts/fuzz.sh --runs 200000

if [ "${TRELVIK_SKIP_WINDOWS:-0}" != 1 ]; then
    echo "== windows: configure, cross-build, test under Wine"
    cmake --workflow --preset windows

    echo "== every test source is compiled and every test script run by some build"
    cmake -DSOURCE_DIR="$PWD" -DBUILD_DIRS="$PWD/build/native;$PWD/build/release;$PWD/build/fuzz;$PWD/build/windows" \
        -P tests/CheckTestsAreBuilt.cmake
else
    echo "== (the check that every test file runs needs every build: skipped with the Windows suite)"
fi
echo "== all tests passed"
