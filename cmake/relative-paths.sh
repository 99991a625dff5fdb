#!/bin/bash
# Runs a compiler or linker with the paths of the build folder, its working folder, written relative
# to it, and those of the source folder through the link "source-tree" in it: what the tools record
# of their command lines (a PDB's build information, the Microsoft ABI's names of anonymous
# namespaces, which hash the source file's path as given, a source file's name) is then the same
# wherever the tree lies, whatever its folder's name and wherever the build folder is, and the
# binaries of one commit are the same bytes.
#   relative-paths.sh SOURCE_DIR BINARY_DIR TOOL [ARGUMENT...]
set -eu
source_dir=$1
binary_dir=$2
shift 2
arguments=()
for argument in "$@"; do
    argument=${argument//"$binary_dir/"/}
    argument=${argument//"$binary_dir"/.}
    argument=${argument//"$source_dir"/source-tree}
    arguments+=("$argument")
done
exec "${arguments[@]}"
