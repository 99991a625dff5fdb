#!/bin/sh
# Builds the libFuzzer targets (the link check, the launch record, hostsim's DLL reader) with clang and runs each on a copy of its seed corpus
# (tests/fuzz/corpus/<target>). Usage:
#   scripts/fuzz.sh                 60 seconds per target
#   scripts/fuzz.sh --seconds S     S seconds per target
#   scripts/fuzz.sh --runs N        N inputs per target, fixed seed (what the test command runs)
# Findings (crashing inputs) are kept in build/fuzz/findings/<target>/; the script then fails.
set -eu
cd "$(dirname "$0")/.."
usage() {
    echo "usage: scripts/fuzz.sh [--seconds S | --runs N]" >&2
    exit 2
}
mode="-max_total_time=60"
case "${1:-}" in
--seconds | --runs)
    [ $# -eq 2 ] || usage
    case $2 in '' | *[!0-9]*) usage ;; esac
    [ "$1" = --seconds ] && mode="-max_total_time=$2" || mode="-runs=$2"
    ;;
"") [ $# -eq 0 ] || usage ;;
*) usage ;;
esac
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $FUZZ_PACKAGES cmake ninja-build
# libFuzzer's runtime comes with the clang of the same major version.
clang_major=$(clang -dumpversion | cut -d. -f1)
sh scripts/ensure-packages.sh "libclang-rt-$clang_major-dev"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
status=0
for target in LinkPolicyFuzzer LaunchRecordFuzzer ImportTableFuzzer; do
    case $target in
    LinkPolicyFuzzer) seeds=tests/fuzz/corpus/link_policy ;;
    LaunchRecordFuzzer) seeds=tests/fuzz/corpus/launch_record ;;
    ImportTableFuzzer) seeds=tests/fuzz/corpus/import_table ;;
    esac
    corpus=$(mktemp -d)
    cp "$seeds"/* "$corpus"/
    if [ $target = ImportTableFuzzer ]; then
        # The DLLs a Windows build made, where there is one, seed it too.
        for dll in build/windows/bin/*.dll build/windows/msvc-abi/bin/*.dll; do
            if [ -f "$dll" ]; then cp "$dll" "$corpus/built-$(basename "$dll")"; fi
        done
    fi
    findings=build/fuzz/findings/$target
    mkdir -p "$findings"
    log=build/fuzz/$target.log
    if build/fuzz/bin/$target "$mode" -seed=1 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" >"$log" 2>&1; then
        result="no findings"
    else
        result="FINDINGS in $findings (log: $log)"
        status=1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${executions:-?} executions, $(ls "$corpus" | wc -l) corpus entries, $result"
    rm -rf "$corpus"
done
exit $status
