#!/bin/sh
# Builds the add-in and runs it in the simulated host: a first start in a fresh folder, both
# buttons clicked, a link from the learning page, stop and unload. Then draws what the host shows
# after a first start on a high-resolution screen (build/demo/first-start.svg). Extra arguments
# are passed to hostsim instead of that session (e.g. scripts/demo.sh --json run stop unload).
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
sh scripts/ensure-packages.sh $NATIVE_PACKAGES
cmake --preset release >/dev/null
cmake --build --preset release --target hostsim TrelvikDizivoro360
hostsim=build/release/bin/hostsim
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
# The add-in folder as it is installed: the library and its icon folders.
mkdir -p "$folder/session" "$folder/picture"
for dir in session picture; do
    cp build/release/bin/TrelvikDizivoro360.so "$folder/$dir/"
    cp -r resources "$folder/$dir/resources"
done
if [ $# -eq 0 ]; then
    set -- run click openEshop click runTeachPalette message '"https://www.trelvik.cz/kurzy/začátky"' stop unload
fi
echo "== hostsim $folder/session/TrelvikDizivoro360.so $*"
"$hostsim" "$folder/session/TrelvikDizivoro360.so" "$@"
echo "== launch record beside the add-in:"
od -c "$folder/session/TrelvikDizivoro360_Info.txt"
mkdir -p build/demo
"$hostsim" --scale 2 --picture build/demo/first-start.svg "$folder/picture/TrelvikDizivoro360.so" run >/dev/null
echo "== what the host shows after a first start: $PWD/build/demo/first-start.svg"
