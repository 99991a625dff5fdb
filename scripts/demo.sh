#!/bin/sh
# Builds the add-in and runs it in the simulated host: a first start in a fresh folder, both
# buttons clicked, a link from the learning page, stop and unload. Extra arguments are passed
# to hostsim instead of that session (e.g. scripts/demo.sh --json run stop unload).
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $NATIVE_PACKAGES
cmake --preset release >/dev/null
cmake --build --preset release --target hostsim TrelvikDizivoro360
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp build/release/bin/TrelvikDizivoro360.so "$folder/"
if [ $# -eq 0 ]; then
    set -- run click openEshop click runTeachPalette message '"https://www.trelvik.cz/kurzy/začátky"' stop unload
fi
echo "== hostsim $folder/TrelvikDizivoro360.so $*"
build/release/bin/hostsim "$folder/TrelvikDizivoro360.so" "$@"
echo "== launch record beside the add-in:"
od -c "$folder/TrelvikDizivoro360_Info.txt"
