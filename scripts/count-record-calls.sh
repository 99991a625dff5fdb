#!/bin/sh
# Counts the system calls of one ordinary launch-record update, as strace sees them while hostsim
# runs the add-in: every call that names a path in the record's folder or uses a descriptor opened
# there (hostsim's own start and its loading of the add-in's library, which lies in the same folder,
# left out). Run once with
# the record alone and once with OTHER_FILES (default 10000) unrelated files beside it.
# Needs the release build (cmake --preset release && cmake --build --preset release).
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
sh scripts/ensure-packages.sh strace
bin=build/release/bin
[ -x $bin/hostsim ] || { echo "build the release preset first" >&2; exit 1; }
others=${OTHER_FILES:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() { # FOLDER TRACE: prints "calls stat-type"
    awk -v folder="$1" -v library="$1/TrelvikDizivoro360.so" '
        { sub(/^[0-9]+ +/, "") }
        /^(\+\+\+|---|execve)/ { next }
        {
            call = $0; sub(/\(.*/, "", call)
            args = $0; sub(/^[^(]*\(/, "", args)
            fd = args; sub(/[,)].*/, "", fd)
            result = $0; sub(/.*= /, "", result); sub(/ .*/, "", result)
            names = index($0, "\"" folder "\"") || index($0, "\"" folder "/")
            mine = (fd ~ /^[0-9]+$/) && (fd in open)
            if (index($0, "\"" library "\"") || ((fd in lib) && !names)) {
                if (result ~ /^[0-9]+$/ && call ~ /^open/) lib[result] = 1
                if (call == "close") delete lib[fd]
                next
            }
            if (!names && !mine) next
            calls++
            if (call ~ /stat/) stats++
            if (names && call ~ /^open/ && result ~ /^[0-9]+$/) open[result] = 1
            if (call == "close" && mine) delete open[fd]
        }
        END { printf "%d %d\n", calls, stats }' "$2"
}

run() { # N: the update with N other files beside the record
    folder=$work/addin-$1
    mkdir -p "$folder"
    cp $bin/TrelvikDizivoro360.so "$folder/"
    printf '07.12.2026\r\n5\r\n' > "$folder/TrelvikDizivoro360_Info.txt"
    i=0
    while [ $i -lt "$1" ]; do : > "$folder/other-$i.txt"; i=$((i + 1)); done
    strace -f -qq -o "$work/trace-$1" $bin/hostsim --json "$folder/TrelvikDizivoro360.so" run >/dev/null
    set -- "$1" $(count "$folder" "$work/trace-$1")
    echo "record beside $1 other files: $2 system calls on its folder, $3 of them stat-type"
}

run 0
run "$others"
