#!/bin/sh
# The per-user MSI under Wine, in a fresh prefix, as a user meets it:
#   install     every staged file lands in %APPDATA%\...\API\AddIns\TrelvikDizivoro360
#   run         hostsim.exe runs the installed DLL, which writes its launch record there
#   upgrade     a build made with TRELVIK_VERSION=9.9.9 (and signed with a throwaway
#               certificate) replaces it in place; the record keeps its bytes
#   uninstall   removes the DLL, the manifest and the icons, and leaves the record
# Usage: check-installer.sh SOURCE_DIR BUILD_DIR WORK_DIR WINE_RUN
set -eu
source_dir=$1
build_dir=$2
work=$3
wine_run=$4

fail() {
    echo "installer: $*" >&2
    exit 1
}
step() { echo "== $*"; }

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
wine() { "$wine_run" "$prefix" "$@"; }

step "the 1.0.0 simulated-host MSI of this build"
cmake --build "$build_dir" --target msi >"$work/msi-1.log" 2>&1 || { cat "$work/msi-1.log"; fail "msi target failed"; }
old_msi=$(ls "$build_dir"/package/TrelvikDizivoro360-*-simhost-x64.msi)
stage=$build_dir/package/msi-stage/TrelvikDizivoro360

step "a throwaway certificate and a signed 9.9.9 build"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Trelvik test signing" \
    -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout pass:throwaway-secret
cmake -S "$source_dir" -B "$work/v9" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" -DTRELVIK_TESTS=OFF \
    -DTRELVIK_VERSION=9.9.9 -DTRELVIK_SIGNING_CERT="$work/cert.p12" >"$work/v9-configure.log" 2>&1 ||
    { cat "$work/v9-configure.log"; fail "configuring the 9.9.9 build failed"; }
TRELVIK_SIGNING_PASSWORD=throwaway-secret cmake --build "$work/v9" --target msi >"$work/v9-build.log" 2>&1 ||
    { cat "$work/v9-build.log"; fail "building the 9.9.9 MSI failed"; }
new_msi=$work/v9/package/TrelvikDizivoro360-9.9.9-simhost-x64.msi
[ -f "$new_msi" ] || fail "no $new_msi"
osslsigncode verify -CAfile "$work/cert.pem" -in "$new_msi" >"$work/verify-msi.log" 2>&1 ||
    { cat "$work/verify-msi.log"; fail "the 9.9.9 MSI is not validly signed"; }
if osslsigncode verify -CAfile "$work/cert.pem" -in "$stage/TrelvikDizivoro360.dll" >/dev/null 2>&1; then
    fail "the unsigned build's DLL passes verification: the check proves nothing"
fi

step "install into a fresh prefix"
wine msiexec /i "$old_msi" /qn || fail "msiexec /i failed"
appdata=$(wine cmd /c echo %APPDATA% | tr -d '\r')
addins_windows="$appdata\\Autodesk\\Autodesk Fusion 360\\API\\AddIns\\TrelvikDizivoro360"
addin=$(WINEPREFIX=$prefix winepath -u "$addins_windows" 2>/dev/null)
[ -d "$addin" ] || fail "nothing installed at $addins_windows"
(cd "$stage" && find . -type f | sort) >"$work/staged.txt"
(cd "$addin" && find . -type f | sort) >"$work/installed.txt"
diff "$work/staged.txt" "$work/installed.txt" || fail "installed files differ from the staged add-in folder"
printf "   %s files in %s\n" "$(wc -l <"$work/staged.txt")" "$addins_windows"

step "the installed DLL runs in hostsim.exe and writes its record beside itself"
wine "$build_dir/bin/hostsim.exe" --json "$addins_windows\\TrelvikDizivoro360.dll" run stop unload >"$work/run.jsonl" ||
    fail "hostsim.exe failed"
grep -q '{"call":"run","result":true}' "$work/run.jsonl" || { cat "$work/run.jsonl"; fail "run did not return true"; }
record=$addin/TrelvikDizivoro360_Info.txt
[ "$(wc -c <"$record")" -eq 13 ] || fail "the first start left $(wc -c <"$record") bytes, not 13"
cp "$record" "$work/record.before"

step "upgrade to 9.9.9 in place"
wine msiexec /i "$new_msi" /qn || fail "msiexec /i of 9.9.9 failed"
cmp "$record" "$work/record.before" || fail "the upgrade changed the launch record"
grep -q '"version": "9.9.9"' "$addin/TrelvikDizivoro360.manifest" || fail "the manifest is not 9.9.9 after the upgrade"
osslsigncode verify -CAfile "$work/cert.pem" -in "$addin/TrelvikDizivoro360.dll" >"$work/verify-dll.log" 2>&1 ||
    { cat "$work/verify-dll.log"; fail "the installed 9.9.9 DLL is not validly signed"; }
(cd "$addin" && find . -type f ! -name TrelvikDizivoro360_Info.txt | sort) >"$work/upgraded.txt"
diff "$work/staged.txt" "$work/upgraded.txt" || fail "the upgrade left other files than one version's"

step "uninstall"
wine msiexec /x "$new_msi" /qn || fail "msiexec /x failed"
left=$(cd "$addin" && find . -type f | sort)
[ "$left" = "./TrelvikDizivoro360_Info.txt" ] || fail "after uninstall the folder holds: $left"
cmp "$record" "$work/record.before" || fail "the uninstall changed the launch record"
echo "installer: install, run, upgrade (record kept, signed) and uninstall (record left) all as expected"
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
