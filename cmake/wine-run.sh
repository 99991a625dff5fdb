#!/bin/sh
# Runs a Windows program under Wine in the given prefix, creating the prefix on first use.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# C.UTF-8 exists on every Debian system; Wine then uses a Western ANSI code page (1252), so
# folder names in Cyrillic or Chinese cannot be represented in it.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$prefix"
if [ ! -f "$prefix/.ready" ]; then
    (
        flock 9
        if [ ! -f "$prefix/.ready" ]; then
            wineboot --init </dev/null >/dev/null 2>&1 || true
            wineserver -w
            touch "$prefix/.ready"
        fi
    ) 9>"$prefix.lock"
fi
# Wine's server and service processes outlive the program and would inherit its output: were
# that CTest's pipe, CTest would wait for them long after the program ended. So the program
# writes to files, copied to our output once it has ended.
wineserver -p30 </dev/null >/dev/null 2>&1 || true
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
status=0
wine "$@" </dev/null >"$output/out" 2>"$output/err" || status=$?
cat "$output/out"
cat "$output/err" >&2
exit $status
