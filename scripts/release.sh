#!/bin/sh
# Makes what users install from a host API folder (include/ and lib/core.lib): the DLL, the ZIP
# and the MSI, into build/release-files/ with SHA256SUMS beside them. With TRELVIK_SIGNING_CERT
# (a PKCS#12 file; its password in TRELVIK_SIGNING_PASSWORD) the DLL, inside the packages too, and
# the MSI are signed, and unsigned/ keeps the DLL and the MSI as they were before: the bytes a
# rebuild of the commit gives (scripts/check-reproducible.sh shows that it does). The MSI's times
# come from SOURCE_DATE_EPOCH, by default the time of the last commit.
#   sh scripts/release.sh HOST_API_FOLDER
set -eu
if [ $# -ne 1 ] || [ ! -f "$1/include/Core/CoreAll.h" ]; then
    echo "usage: sh scripts/release.sh HOST_API_FOLDER   (it holds include/Core/CoreAll.h and lib/core.lib)" >&2
    exit 2
fi
api=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $NATIVE_PACKAGES $WINDOWS_PACKAGES
build=build/windows-msvc
out=build/release-files
rm -rf "$out"
mkdir -p "$out"

# build_release CERT: the DLL as the packages hold it and the MSI, signed with CERT unless it is empty.
build_release() {
    TRELVIK_HOST_SDK_DIR=$api cmake --preset windows-msvc -DTRELVIK_SIGNING_CERT="$1" >/dev/null
    cmake --build --preset windows-msvc
    cmake --build --preset windows-msvc --target msi
}
cert=${TRELVIK_SIGNING_CERT:-}
if [ -n "$cert" ]; then
    build_release ""
    mkdir -p "$out/unsigned"
    cp "$build/package/msi-stage/TrelvikDizivoro360/TrelvikDizivoro360.dll" "$build"/package/*.msi "$out/unsigned/"
fi
build_release "$cert"
rm -rf "$build/package/zip"
cpack --config "$build/CPackConfig.cmake" -B "$build/package/zip" >/dev/null
cp "$build/package/msi-stage/TrelvikDizivoro360/TrelvikDizivoro360.dll" "$build"/package/*.msi "$out/"
cp "$build"/package/zip/*.zip "$out/"
(cd "$out" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum -- >SHA256SUMS)
cat "$out/SHA256SUMS"
