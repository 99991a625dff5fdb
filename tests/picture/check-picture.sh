#!/bin/sh
# hostsim --picture writes well-formed XML that an SVG renderer draws without error, with and
# without the icon folders beside the add-in, and with a palette the user closed.
# Usage: check-picture.sh HOSTSIM ADDIN RESOURCES WORK RSVG_CONVERT XMLLINT
set -eu
hostsim=$1 addin=$2 resources=$3 work=$4 rsvg=$5 xmllint=$6
rm -rf "$work"
for case in with-icons without-icons closed; do
    folder=$work/$case
    mkdir -p "$folder"
    cp "$addin" "$folder/"
    [ "$case" = without-icons ] || cp -r "$resources" "$folder/resources"
    actions="run"
    [ "$case" = closed ] && actions="run close teachPalete"
    # shellcheck disable=SC2086 # the action words are meant to split
    "$hostsim" --entitlement 'a&b <c> "d"' --picture "$folder/picture.svg" "$folder/$(basename "$addin")" $actions >/dev/null
    "$xmllint" --noout "$folder/picture.svg"
    "$rsvg" -w 480 "$folder/picture.svg" -o "$folder/picture.png"
    [ -s "$folder/picture.png" ] || { echo "picture: no PNG for $case" >&2; exit 1; }
    echo "picture ($case): well-formed, rendered $(wc -c <"$folder/picture.png") bytes of PNG"
done
