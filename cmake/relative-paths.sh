#!/bin/bash
# Runs a compiler or linker with the paths of the source and build folders written relative to the
# build folder, its working folder: what the tools record of their command lines (a PDB's build
# information, the Microsoft ABI's names of anonymous namespaces, a source file's name) is then
# the same wherever the tree lies, and the binaries of one commit are the same bytes.
#   relative-paths.sh SOURCE_DIR BINARY_DIR TOOL [ARGUMENT...]
set -eu
source_dir=$1
binary_dir=$2
shift 2
relative=$(realpath -m --relative-to="$binary_dir" "$source_dir")
arguments=()
for argument in "$@"; do
    argument=${argument//"$binary_dir/"/}
    argument=${argument//"$binary_dir"/.}
    argument=${argument//"$source_dir"/$relative}
    arguments+=("$argument")
done
exec "${arguments[@]}"
