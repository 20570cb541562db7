#!/usr/bin/env bash
# Registered with regsvr32, then with nothing registered: the signed controls from the side-by-side package,
# in one fresh prefix. The registry regsvr32 writes is kept for the comparison with an installation.
source "$(dirname "$0")/deploy_lib.sh"
rm -f "$work/registered.txt"
fresh_prefix registration
app="$prefix/drive_c/app"
mkdir -p "$app"
unzip -q "$package-side-by-side.zip" -d "$app"
here="C:\\app\\$arch"
cp "$build/bin/deployed_control_test.exe" "$build/bin/registry_dump.exe" "$app/$arch/"
client=(wine "$here\\deployed_control_test.exe" --gtest_brief=1)

# The 64-bit suite registers both controls, each with the regsvr32 of its bitness, as the x64 installer does.
regsvr32s=("C:\\windows\\system32\\regsvr32.exe;$here\\VelmarCardel.ocx")
[ "$arch" = x64 ] && regsvr32s+=("C:\\windows\\syswow64\\regsvr32.exe;C:\\app\\x86\\VelmarCardel.ocx")
for pair in "${regsvr32s[@]}"; do
  check "regsvr32 ${pair#*;}" wine "${pair%;*}" /s "${pair#*;}"
done
check "registered: the control is created, driven, hosted, called across apartments" "${client[@]}"
win "$here\\registry_dump.exe" >"$work/registered.txt"
check "registered: the type library's neutral locale key is written" \
  grep -q "|TypeLib\\\\{.*}\\\\21.0\\\\0\\\\win" "$work/registered.txt"
for pair in "${regsvr32s[@]}"; do
  check "regsvr32 /u ${pair#*;}" wine "${pair%;*}" /s /u "${pair#*;}"
done
left=$(win "$here\\registry_dump.exe")
check "regsvr32 /u leaves no key" test -z "$left"
[ -z "$left" ] || echo "$left"

# Registration-free: the application names the control's assembly in its manifest.
app_manifest() {
  cat <<MANIFEST
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="$1" version="1.0.0.0" processorArchitecture="$manifest_arch"/>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="VelmarCardel" version="33.0.0.0" processorArchitecture="$manifest_arch"/>
    </dependentAssembly>
  </dependency>
</assembly>
MANIFEST
}
app_manifest DeployedControlTest >"$app/$arch/deployed_control_test.exe.manifest"
check "registration-free through the application manifest" "${client[@]}"
cp "$app/$arch/deployed_control_test.exe" "$app/$arch/code_host.exe"
check "registration-free through an activation context made in code" \
  wine "$here\\code_host.exe" --gtest_brief=1 "--activation-context=$here\\VelmarCardel.manifest"

cp "$prefix/drive_c/windows/system32/cscript.exe" "$app/$arch/cscript.exe"
app_manifest ScriptHost >"$app/$arch/cscript.exe.manifest"
printf 'Set c = CreateObject("VelmarCardel.ucCardel")\r\nc.Caption = "Scripted"\r\nWScript.Echo c.Caption\r\n' \
  >"$app/$arch/script.vbs"
output=$(win "$here\\cscript.exe" //nologo "$here\\script.vbs")
check "registration-free from VBScript in a cscript with a manifest (said: $output)" test "$output" = Scripted
finish
