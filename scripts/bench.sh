#!/bin/sh
# Builds the release preset and runs the benchmarks; prints the ratios the targets are stated in.
# Extra arguments go to Google Benchmark (e.g. --benchmark_repetitions=5).
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $NATIVE_PACKAGES $RELEASE_PACKAGES
cmake --preset release >/dev/null
cmake --build --preset release --target trelvik_bench
build/release/bin/trelvik_bench "$@"
