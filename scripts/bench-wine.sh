#!/bin/sh
# Times one run + stop of the add-in natively and under Wine, in one go: hostsim drives N
# run/stop pairs and then one pair, and the difference divided by N - 1 leaves out process
# start-up and library loading (with N = 1 the one pair is reported with them). Needs the release
# and windows presets built (scripts/test.sh builds both). Usage: scripts/bench-wine.sh [N]
# (default 2000). Also prints the size of the Windows DLL, as built and stripped.
set -eu
cd "$(dirname "$0")/.."
pairs=${1:-2000}
case $pairs in
'' | *[!0-9]* | 0) echo "usage: scripts/bench-wine.sh [N]   (N: run/stop pairs, 1 or more)" >&2; exit 2 ;;
esac
native=build/release/bin
windows=build/windows/bin
for file in "$native/hostsim" "$windows/hostsim.exe"; do
    [ -e "$file" ] || { echo "missing $file: build the release and windows presets first" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
actions() { i=0; while [ "$i" -lt "$1" ]; do printf 'run stop '; i=$((i + 1)); done; }
many=$(actions "$pairs")
one=$(actions 1)
now() { date +%s%N; }
wine_hostsim() { cmake/wine-run.sh "$PWD/build/windows/wineprefix" "$windows/hostsim.exe" "$@"; }
measure() { # label command...
    label=$1
    shift
    # A launch count above 10 keeps the palette from opening, as after the first starts.
    printf '01.01.2026\r\n100\r\n' >"$work/TrelvikDizivoro360_Info.txt"
    start=$(now)
    # shellcheck disable=SC2086 # the action words are meant to split
    "$@" $many >/dev/null
    middle=$(now)
    if [ "$pairs" -gt 1 ]; then
        # shellcheck disable=SC2086
        "$@" $one >/dev/null
        end=$(now)
        per=$(( ((middle - start) - (end - middle)) / (pairs - 1) ))
        echo "$label: $per ns per run + stop ($pairs pairs)"
    else
        per=$((middle - start))
        echo "$label: $per ns for one run + stop, process start-up and library loading included"
    fi
    echo "$per" >"$work/$label"
}
cp "$native/TrelvikDizivoro360.so" "$work/"
measure native "$native/hostsim" "$work/TrelvikDizivoro360.so"
cp "$windows/TrelvikDizivoro360.dll" "$work/"
measure wine wine_hostsim "$work/TrelvikDizivoro360.dll" 2>/dev/null
echo "wine / native: $(awk "BEGIN { printf \"%.1f\", $(cat "$work/wine") / $(cat "$work/native") }")x"
# The DLL users get, as built and stripped (its PDB lies beside it in the build tree, apart).
stripped=$work/stripped.dll
cp "$windows/TrelvikDizivoro360.dll" "$stripped"
if command -v llvm-strip >/dev/null 2>&1; then
    llvm-strip "$stripped"
fi
echo "TrelvikDizivoro360.dll: $(wc -c <"$windows/TrelvikDizivoro360.dll") bytes, stripped $(wc -c <"$stripped") bytes"
