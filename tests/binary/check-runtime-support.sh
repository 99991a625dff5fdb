#!/bin/sh
# What Visual C++ gives every DLL it builds, read from a DLL of the host's ABI:
#   - a load configuration whose security cookie (/GS) is set;
#   - unwind data (.pdata) for every function that moves the stack pointer: each push, and each
#     instruction that writes %rsp, lies inside a function that .pdata describes;
#   - a CodeView debug record naming its PDB without the build's folder, and that PDB beside it.
# Usage: check-runtime-support.sh DLL READOBJ OBJDUMP
set -eu
dll=$1
readobj=$2
objdump=$3

fail() {
    echo "runtime support: $dll: $*" >&2
    exit 1
}

config=$("$readobj" --coff-load-config "$dll")
cookie=$(printf '%s\n' "$config" | sed -n 's/^ *SecurityCookie: 0x\([0-9A-Fa-f]*\)$/\1/p')
[ -n "$cookie" ] && [ "$cookie" != 0 ] || fail "no load configuration with a security cookie"

# Every function's [start, end) from the unwind table, then every instruction that moves the
# stack pointer, both in address order: one walk over the two.
"$readobj" --unwind "$dll" |
    sed -n 's/^ *\(Start\|End\)Address: (0x\([0-9A-Fa-f]*\))$/\1 \2/p' >"${TMPDIR:-/tmp}/ranges.$$"
"$objdump" -d --no-show-raw-insn "$dll" |
    grep -E '^ *[0-9a-f]+:[[:space:]]+(push|[a-z]+[[:space:]].*,[[:space:]]*%rsp$)' |
    sed 's/^ *\([0-9a-f]*\):[[:space:]]*\(.*\)$/\1 \2/' >"${TMPDIR:-/tmp}/moves.$$"
uncovered=$(awk -v ranges="${TMPDIR:-/tmp}/ranges.$$" '
    function hex(text,    i, value) {
        value = 0
        text = tolower(text)
        for (i = 1; i <= length(text); i++) value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
        return value
    }
    BEGIN {
        n = 0
        while ((getline line < ranges) > 0) {
            split(line, part, " ")
            if (part[1] == "Start") start[++n] = hex(part[2]); else end[n] = hex(part[2])
        }
        at = 1
    }
    {
        address = hex($1)
        while (at <= n && end[at] <= address) at++
        if (at > n || address < start[at]) print
    }' "${TMPDIR:-/tmp}/moves.$$")
moves=$(wc -l <"${TMPDIR:-/tmp}/moves.$$")
functions=$(grep -c '^Start' "${TMPDIR:-/tmp}/ranges.$$")
rm -f "${TMPDIR:-/tmp}/ranges.$$" "${TMPDIR:-/tmp}/moves.$$"
[ "$moves" -gt 0 ] || fail "no instruction that moves the stack found: the check proves nothing"
[ -z "$uncovered" ] || fail "moves the stack outside any function with unwind data:
$uncovered"

pdb=$("$readobj" --coff-debug-directory "$dll" | sed -n 's/^ *PDBFileName: \(.*\)$/\1/p')
[ -n "$pdb" ] || fail "no CodeView record"
case $pdb in */* | *\\*) fail "the PDB is named with a build folder: $pdb" ;; esac
[ -f "$(dirname "$dll")/$pdb" ] || fail "no $pdb beside it"
echo "runtime support: $dll: cookie at 0x$cookie; $moves stack moves, all in the $functions functions with unwind data; $pdb beside it"
