#!/bin/sh
# Runs a Windows program under Wine in the given prefix, creating the prefix on first use.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# A Western code page, so that folder names in other scripts cannot be represented in it.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$prefix"
if [ ! -f "$prefix/.ready" ]; then
    (
        flock 9
        if [ ! -f "$prefix/.ready" ]; then
            wineboot --init >/dev/null 2>&1 || true
            wineserver -w
            touch "$prefix/.ready"
        fi
    ) 9>"$prefix.lock"
fi
# A wineserver started by a test would inherit the test's output pipes and keep CTest waiting
# for them after the test ended; one started here, detached from them, serves every test.
wineserver -p30 </dev/null >/dev/null 2>&1 || true
exec wine "$@"
