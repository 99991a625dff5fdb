#!/bin/sh
# The per-user MSI under Wine, in a fresh prefix, as a user meets it:
#   before      a 0.9.0 laid out as versions before 1.0 were, in the host's developer folder
#               %APPDATA%\Autodesk\Autodesk Fusion 360\API\AddIns\TrelvikDizivoro360, has
#               run there twice (its launch record says so)
#   install     this build's MSI upgrades it: the old copy is gone, folder and all, every staged
#               file lands in %APPDATA%\Autodesk\FusionAddins\TrelvikDizivoro360, and the launch
#               record came along byte for byte
#   run         hostsim.exe runs the installed DLL, which counts on in that record
#   upgrade     a build made with TRELVIK_VERSION=9.9.9 (and signed with a throwaway
#               certificate) replaces it in place; the record keeps its bytes
#   uninstall   removes the DLL, the manifest, the help page and the icons, and leaves the record;
#               without a record every folder the MSI made is removed
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
# Its package code comes from its content: another build's bytes, another code.
package_code() { msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'; }
[ -n "$(package_code "$old_msi")" ] && [ "$(package_code "$old_msi")" != "$(package_code "$new_msi")" ] ||
    fail "the 9.9.9 MSI has the package code of this build's, $(package_code "$old_msi")"
if osslsigncode verify -CAfile "$work/cert.pem" -in "$stage/TrelvikDizivoro360.dll" >/dev/null 2>&1; then
    fail "the unsigned build's DLL passes verification: the check proves nothing"
fi

appdata_folder() { WINEPREFIX=$prefix winepath -u "$1" 2>/dev/null; }

step "0.9.0, as versions before 1.0 installed it, in the host's developer folder"
wine cmd /c echo %APPDATA% >"$work/appdata.txt"
appdata=$(tr -d '\r' <"$work/appdata.txt")
old_windows="$appdata\\Autodesk\\Autodesk Fusion 360\\API\\AddIns\\TrelvikDizivoro360"
cat >"$work/old.wxs" <<WXS
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="TrelvikDizivoro360" Language="1033" Version="0.9.0" Manufacturer="Morvane Sytems"
           UpgradeCode="5d3c1a2e-7b4f-4e8a-9c61-2f0b8e4d7a13">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"/>
    <MajorUpgrade DowngradeErrorMessage="newer"/>
    <Media Id="1" Cabinet="old.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir"><Directory Id="AppDataFolder"><Directory Id="A" Name="Autodesk">
      <Directory Id="F" Name="Autodesk Fusion 360"><Directory Id="P" Name="API"><Directory Id="D" Name="AddIns">
        <Directory Id="INSTALLDIR" Name="TrelvikDizivoro360">
          <Component Id="Old" Guid="*">
            <RegistryValue Root="HKCU" Key="Software\Morvane Sytems\TrelvikDizivoro360" Name="Old" Type="integer" Value="1" KeyPath="yes"/>
            <File Id="OldDll" Source="old-files/TrelvikDizivoro360.dll"/>
            <File Id="OldManifest" Source="old-files/TrelvikDizivoro360.manifest"/>
            <RemoveFolder Id="OldRemove" On="uninstall"/>
          </Component>
        </Directory>
      </Directory></Directory></Directory>
    </Directory></Directory></Directory>
    <Feature Id="AddIn" Level="1"><ComponentRef Id="Old"/></Feature>
  </Product>
</Wix>
WXS
# wixl reads sources relative to the .wxs.
mkdir -p "$work/old-files"
cp "$stage/TrelvikDizivoro360.dll" "$stage/TrelvikDizivoro360.manifest" "$work/old-files/"
(cd "$work" && wixl --arch x64 -o old.msi old.wxs) || fail "cannot make the 0.9.0 MSI"
wine msiexec /i "$work/old.msi" /qn || fail "msiexec /i of 0.9.0 failed"
old=$(appdata_folder "$old_windows")
[ -f "$old/TrelvikDizivoro360.dll" ] || fail "0.9.0 did not install into $old_windows"
for start in 1 2; do
    wine "$build_dir/bin/hostsim.exe" "$old_windows\\TrelvikDizivoro360.dll" run unload >/dev/null || fail "0.9.0 did not run"
done
cp "$old/TrelvikDizivoro360_Info.txt" "$work/record.old"
[ "$(wc -c <"$work/record.old")" -eq 15 ] || fail "two starts of 0.9.0 left $(wc -c <"$work/record.old") bytes, not 15"

step "install this build over it"
wine msiexec /i "$old_msi" /qn || fail "msiexec /i failed"
addins_windows="$appdata\\Autodesk\\FusionAddins\\TrelvikDizivoro360"
addin=$(appdata_folder "$addins_windows")
[ -d "$addin" ] || fail "nothing installed at $addins_windows"
[ ! -e "$old" ] || fail "the old copy is still there: $(cd "$old" && find . | tr '\n' ' ')"
record=$addin/TrelvikDizivoro360_Info.txt
cmp "$record" "$work/record.old" || fail "the launch record did not come along byte for byte"
(cd "$stage" && find . -type f | sort) >"$work/staged.txt"
(cd "$addin" && find . -type f ! -name TrelvikDizivoro360_Info.txt | sort) >"$work/installed.txt"
diff "$work/staged.txt" "$work/installed.txt" || fail "installed files differ from the staged add-in folder"
printf "   %s files in %s, the record of 0.9.0 with them\n" "$(wc -l <"$work/staged.txt")" "$addins_windows"

step "the installed DLL runs in hostsim.exe and counts on in its record"
wine "$build_dir/bin/hostsim.exe" --json "$addins_windows\\TrelvikDizivoro360.dll" run stop unload >"$work/run.jsonl" ||
    fail "hostsim.exe failed"
grep -q '{"call":"run","result":true}' "$work/run.jsonl" || { cat "$work/run.jsonl"; fail "run did not return true"; }
[ "$(tail -c 3 "$record" | od -An -c | tr -d ' ')" = '3\r\n' ] || fail "the record did not count on to 3: $(od -c "$record")"
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

step "install and uninstall without a record: no folder of the MSI's stays"
rm -f "$record"
wine msiexec /i "$new_msi" /qn || fail "msiexec /i failed"
[ -f "$addin/TrelvikDizivoro360.html" ] || fail "the reinstall left no help page"
wine msiexec /x "$new_msi" /qn || fail "msiexec /x failed"
fusion_addins=$(appdata_folder "$appdata\\Autodesk\\FusionAddins")
[ ! -e "$fusion_addins" ] || fail "left behind: $(cd "$fusion_addins" && find . | tr '\n' ' ')"
echo "installer: upgrade from the developer folder (record moved), install, run, upgrade (record kept, signed), uninstall (record left, empty folders removed) all as expected"
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
