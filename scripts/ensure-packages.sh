#!/bin/sh
# Installs the Debian packages named as arguments when any is missing (as root through
# apt-get), or says which to install.
set -eu
missing=""
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Install them with: sudo apt-get install --no-install-recommends$missing" >&2
    exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086 # one word per package
apt-get install -y -qq --no-install-recommends $missing >/dev/null
