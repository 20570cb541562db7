#!/usr/bin/env bash
# The installer of the suite's bitness in one fresh prefix: what it registers (kept for the comparison with
# regsvr32's), script hosts of both bitnesses creating the control, a major upgrade, a refused downgrade and
# an uninstall that leaves nothing of ours.
source "$(dirname "$0")/deploy_lib.sh"
rm -f "$work/installed.txt"
fresh_prefix installer
msi="$package-$arch.msi"
reg_view=()
[ "$arch" = x64 ] && reg_view=(/reg:64)
dump_exe="$build/bin/registry_dump.exe"
dump() { win "$(winpath "$dump_exe")"; }

# "name=version" of each product of ours the system counts as installed.
installed_products() {
  win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "${reg_view[@]}" | awk '
    /^HKEY_/ { if (name ~ /^VelmarCardel/) print name "=" version; name = ""; version = "" }
    $1 == "DisplayName" { $1 = ""; $2 = ""; sub(/^ +/, ""); name = $0 }
    $1 == "DisplayVersion" { version = $3 }
    END { if (name ~ /^VelmarCardel/) print name "=" version }'
}
our_files() {
  find "$prefix/drive_c/Program Files" "$prefix/drive_c/Program Files (x86)" -ipath '*VelmarCardel*' 2>/dev/null
}

if [ "$arch" = x64 ]; then
  wine msiexec /i "$(winpath "$package-x86.msi")" /qn
  status=$?
  check "the x86 installer refuses 64-bit Windows (exit $status)" test "$status" -ne 0
  check "and installs nothing" test -z "$(installed_products)$(dump)"
fi

check "msiexec /i $(basename "$msi")" wine msiexec /i "$(winpath "$msi")" /qn
dump >"$work/installed.txt"
check "the installation is counted with its version" test "$(installed_products | cut -d= -f2)" = "$version"
if [ "$arch" = x64 ]; then
  check "the 64-bit control is in Program Files" test -f "$prefix/drive_c/Program Files/VelmarCardel/VelmarCardel.ocx"
  check "the 32-bit control is in Program Files (x86)" \
    test -f "$prefix/drive_c/Program Files (x86)/VelmarCardel/VelmarCardel.ocx"
fi

printf 'Set c = CreateObject("VelmarCardel.ucCardel")\r\nc.Caption = "Installed"\r\nWScript.Echo c.Caption\r\n' \
  >"$prefix/drive_c/script.vbs"
hosts=('C:\windows\system32\cscript.exe')
[ "$arch" = x64 ] && hosts+=('C:\windows\syswow64\cscript.exe')
for host in "${hosts[@]}"; do
  output=$(win "$host" //nologo 'C:\script.vbs')
  check "$host creates the installed control (said: $output)" test "$output" = Installed
done

# A newer package of the same files replaces this one; this one is refused over it.
IFS=. read -r major minor build_number <<<"$version"
newer_version="$major.$minor.$((build_number + 1))"
newer_dist="$work/newer-$arch"
signing=()
if [ -f "$root/build/signing/cert.pem" ]; then
  signing=(CARDEL_SIGN_CERT="$root/build/signing/cert.pem" CARDEL_SIGN_KEY="$root/build/signing/key.pem")
fi
env "${signing[@]}" CARDEL_VERSION="$newer_version" CARDEL_DIST_DIR="$newer_dist" "$root/scripts/package.sh" --no-build >/dev/null
newer="$newer_dist/VelmarCardel-$newer_version-$arch.msi"
check "msiexec /i of the newer $(basename "$newer")" wine msiexec /i "$(winpath "$newer")" /qn
check "the newer version replaced the older (installed: $(installed_products | tr '\n' ' '))" \
  test "$(installed_products | cut -d= -f2)" = "$newer_version"
wine msiexec /i "$(winpath "$msi")" /qn
status=$?
check "the older package is refused over the newer (exit $status)" test "$status" -ne 0
check "the newer stays installed" test "$(installed_products | cut -d= -f2)" = "$newer_version"

check "msiexec /x" wine msiexec /x "$(winpath "$newer")" /qn
left=$(dump)
check "uninstalling leaves no key" test -z "$left"
[ -z "$left" ] || echo "$left"
check "uninstalling leaves no file" test -z "$(our_files)"
check "uninstalling leaves no product" test -z "$(installed_products)"
rm -rf "$newer_dist"
finish
