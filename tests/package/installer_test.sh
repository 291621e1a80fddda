#!/usr/bin/env bash
# Installs, upgrades and uninstalls Tidyhold silently in a Wine prefix of its own, and checks the
# files, the shortcut and the registry after each step; then checks the portable zip's contents.
# Usage: installer_test.sh SETUP_EXE PORTABLE_ZIP VERSION
set -uo pipefail
setup=$1 portable=$2 version=$3
source "$(dirname "$0")/../../scripts/wine_env.sh"

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tidyhold-setup.XXXXXX)
work=$(mktemp -d /tmp/tidyhold-zip.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX" "$work"' EXIT
new_wine_prefix "$WINEPREFIX" null

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_file() { [ -e "$1" ] || fail "missing: $1"; }
expect_gone() { [ ! -e "$1" ] || fail "still there: $1"; }
hkcu='HKEY_CURRENT_USER\Software'
uninstall_key="$hkcu\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tidyhold"
class='{310ADEFC-C58F-4BC9-8376-F9100DE4B7FF}'
keys=("$uninstall_key" "$hkcu\\Classes\\CLSID\\$class\\InprocServer32" "$hkcu\\Classes\\Jotbook.Log\\CLSID"
    "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\$class")
printf '@reg query "%s"\r\n' "${keys[@]}" >"$work/query.cmd"
# The keys' values as "key|name=data" lines, read in one Wine start (each costs a second or two).
read_registry() {
    registry=$(wine cmd /c "$query" 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { key = $0; next }
        match($0, /^ +[^ ]+ +REG_[A-Z_]+ */) {
            split(substr($0, 1, RLENGTH), head, " ")
            print key "|" head[1] "=" substr($0, RLENGTH + 1)
        }')
}
expect_value() {  # key name data
    grep -qxF "$1|$2=$3" <<<"$registry" || fail "$1: $2 is not \"$3\" ($(grep -F "$1|$2=" <<<"$registry" || echo missing))"
}
expect_no_key() { ! grep -qF "$1|" <<<"$registry" || fail "key still there: $1"; }
# Runs the uninstaller and waits for it: it copies itself away and returns at once, so the test
# waits for the prefix's last process.
uninstall() { wine "$folder/Uninstall.exe" /S "$@"; wineserver -w; }

user_folder=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -n 1)
user_folder=${user_folder%/AppData/Local}
folder=$user_folder/AppData/Local/Programs/Tidyhold
{ read -r windows_folder; read -r query; } < <(winepath -w "$folder" "$work/query.cmd" 2>/dev/null | tr -d '\r')
shortcut="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tidyhold.lnk"
program_files=(Tidyhold.exe TidyholdCmd.exe WindowSkin.dll JotbookLog.dll Tidyhold.language Tidyhold.de.language Tidyhold.smf Uninstall.exe)

install() {
    wine "$setup" /S || fail "setup exited with $?"
    wineserver -w
}
expect_installed() {
    read_registry
    for file in "${program_files[@]}" config.xml; do expect_file "$folder/$file"; done
    expect_file "$shortcut"
    expect_value "$uninstall_key" DisplayName Tidyhold
    expect_value "$uninstall_key" DisplayVersion "$version"
    expect_value "$uninstall_key" InstallLocation "$windows_folder"
    expect_value "$uninstall_key" UninstallString "\"$windows_folder\\Uninstall.exe\""
    expect_value "$uninstall_key" QuietUninstallString "\"$windows_folder\\Uninstall.exe\" /S"
    expect_value "$uninstall_key" NoModify 0x1
    grep -qE '\|EstimatedSize=0x[0-9a-f]*[1-9a-f]' <<<"$registry" || fail "no EstimatedSize"
    expect_value "${keys[1]}" '(Default)' "$windows_folder\\JotbookLog.dll"
    expect_value "${keys[2]}" '(Default)' "$class"
    expect_no_key "${keys[3]}"  # for the current user alone: nothing machine-wide
}
expect_program_removed() {
    read_registry
    for file in "${program_files[@]}"; do expect_gone "$folder/$file"; done
    expect_gone "$shortcut"
    for key in "${keys[@]}"; do expect_no_key "$key"; done
}

echo "Install"
install
expect_installed

echo "Install again over the user's data"
echo '<!-- the user was here -->' >>"$folder/config.xml"
mkdir -p "$folder/Log/Data" "$folder/Backup/2024-05-01_14-03-22/C/Temp"
echo record >"$folder/Log/Data/2024-05.log"
echo junk >"$folder/Backup/2024-05-01_14-03-22/C/Temp/a.tmp"
install
expect_installed
grep -q 'the user was here' "$folder/config.xml" || fail "a new install wrote over the user's config.xml"

echo "Uninstall: the user's data stays"
uninstall
expect_program_removed
expect_file "$folder/config.xml"
expect_file "$folder/Log/Data/2024-05.log"
expect_file "$folder/Backup/2024-05-01_14-03-22/C/Temp/a.tmp"

echo "Uninstall /REMOVEUSERDATA: only what Tidyhold wrote goes, and no link is followed"
install  # over the config.xml the last uninstall kept: not this installer's, so it stays
s=2024-05-01_14-03-22 ro=$folder/Backup/2024-05-02_09-00-00/C/ro.tmp outside=$work/outside
mkdir -p "$outside/folder" "$outside/empty" "$folder/Backup/$s/C/Temp/sub" "${ro%/*}" \
    "$folder/Backup/abcd-ef-gh_ij-kl-mn"
tee "$folder/Backup/notes.txt" "$folder/Log/Data/abcd-ef.log" "$folder/Backup/abcd-ef-gh_ij-kl-mn/a.txt" \
    "$outside/folder/doc.txt" "$outside/doc.txt" "$ro" <<<mine >/dev/null
chmod a-w "$ro"
ln -s "$outside/folder" "$folder/Backup/2024-05-03_10-00-00"  # a "set" that is a link
ln -s "$outside/folder" "$folder/Backup/$s/C/folder"
ln -s "$outside/empty" "$folder/Backup/$s/C/empty"
ln -s "$outside/doc.txt" "$folder/Backup/$s/C/Temp/b.tmp"
ln -s "$outside/doc.txt" "$folder/Log/Data/2024-06.log"
uninstall /REMOVEUSERDATA
expect_program_removed
left=$(cd "$folder" && find . | sort | tr '\n' ' ')
expected=". ./Backup ./Backup/$s ./Backup/$s/C ./Backup/$s/C/Temp ./Backup/$s/C/Temp/b.tmp ./Backup/$s/C/empty \
./Backup/$s/C/folder ./Backup/2024-05-03_10-00-00 ./Backup/abcd-ef-gh_ij-kl-mn ./Backup/abcd-ef-gh_ij-kl-mn/a.txt \
./Backup/notes.txt ./Log ./Log/Data ./Log/Data/2024-06.log ./Log/Data/abcd-ef.log ./config.xml "
[ "$left" = "$expected" ] || fail "left in the program folder: $left"
left=$(cd "$outside" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./doc.txt ./empty ./folder ./folder/doc.txt " ] || fail "left outside: $left"

echo "Uninstall /REMOVEUSERDATA: the config.xml the installer put in goes too"
rm -rf "$folder"
install
install
uninstall /REMOVEUSERDATA
expect_gone "$folder"

echo "Portable zip"
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$portable") || fail "cannot unpack $portable"
contents=$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')
expected="./Tidyhold/JotbookLog.dll ./Tidyhold/Tidyhold.de.language ./Tidyhold/Tidyhold.exe ./Tidyhold/Tidyhold.language ./Tidyhold/Tidyhold.smf ./Tidyhold/TidyholdCmd.exe ./Tidyhold/WindowSkin.dll ./Tidyhold/config.xml "
[ "$contents" = "$expected" ] || fail "the zip holds: $contents"

((failures == 0)) && echo "All installer checks passed" && exit 0
exit 1
