#!/bin/sh
# Builds what users install twice from this tree, copied into two folders of different names and
# paths and built some seconds apart, each against a host API folder of its own (laid out from sdk/ with a
# core.lib made from tests/hostbuild/core.def), and compares the bytes: the add-in DLL and its
# PDB, the installer's custom action, the MSI, and the simulated host's DLL. Prints the SHA-256 of
# each; exits 1 at a difference. Some minutes long, so not part of scripts/test.sh.
#   sh scripts/check-reproducible.sh
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $NATIVE_PACKAGES $WINDOWS_PACKAGES
work=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
files="windows-msvc/bin/TrelvikDizivoro360.dll windows-msvc/bin/TrelvikDizivoro360.pdb
windows-msvc/bin/TrelvikRecordMigration.dll windows-msvc/package/TrelvikDizivoro360-*-x64.msi simulated/bin/simhost.dll"
build() { # build FOLDER TREE_NAME
    tree=$1/$2
    mkdir -p "$tree" "$1/api/lib"
    git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$tree"
    cp -r sdk "$1/api/include"
    # dlltool names the library's symbols after the paths it is given: the same in both folders.
    cp tests/hostbuild/core.def "$1/api/lib/"
    (cd "$1/api/lib" && x86_64-w64-mingw32-dlltool -m i386:x86-64 -d core.def -l core.lib && rm core.def)
    (
        cd "$tree"
        TRELVIK_HOST_SDK_DIR=$1/api cmake --preset windows-msvc >/dev/null
        cmake --build --preset windows-msvc >/dev/null
        cmake --build --preset windows-msvc --target msi >/dev/null
        cmake -S . -B build/simulated -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/clang-msvc-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DTRELVIK_TESTS=OFF >/dev/null
        cmake --build build/simulated --target simhost >/dev/null
    )
}
echo "== building in $work/first/trelvik"
build "$work/first" trelvik
sleep 5
echo "== building in $work/the/second/one/a-clone-of-another-name, a deeper folder of another name"
build "$work/the/second/one" a-clone-of-another-name
status=0
for file in $files; do
    # shellcheck disable=SC2086 # the MSI's name is a pattern
    first=$(echo "$work"/first/trelvik/build/$file)
    second=$(echo "$work"/the/second/one/a-clone-of-another-name/build/$file)
    if cmp -s "$first" "$second"; then
        echo "same  $(sha256sum "$first" | cut -c1-64)  $file"
    else
        echo "DIFFERENT  $file"
        status=1
    fi
done
exit $status
