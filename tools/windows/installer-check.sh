#!/usr/bin/env bash
# Installs and uninstalls under Wine, silently, once for all users (Wine runs as an
# administrator) and once for the current user, and checks each time that every file of the
# unpacked folder was installed, that .ptn opens with the program, that there is a Start-menu
# entry, and that the uninstaller leaves the files and the registry as they were before.
# installer-check.sh SETUP.exe UNPACKED-FOLDER
set -euo pipefail
setup=$1 folder=$2
: "${WINEPREFIX:?}"
# Wine's menu builder would copy the Start-menu entry into this machine's own menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
drive=$WINEPREFIX/drive_c

snapshot() {
  # Files (less the temporary and log folders) and the registry, as text, less the time
  # stamps Wine's device manager writes on every start and the display and monitor devices
  # (and their device classes) it records anew when a display comes or goes.
  (cd "$drive" && find . -path ./users/*/AppData/Local/Temp -prune -o -path './users/*/Temp' -prune \
    -o -path ./windows/temp -prune -o -path ./windows/logs -prune -o -print | sort)
  wineserver -w
  for hive in system user; do
    grep -a -v '^#time=\|^"DriverDateData"=' "$WINEPREFIX/$hive.reg" |
      awk '/^\[/ { skip = /Enum\\\\DISPLAY|Control\\\\Class\\\\[{]4D36E96[8E]-/ } !skip' | sed 's/^\(\[.*\]\) [0-9]*$/\1/'
  done
}
registry() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

for mode in AllUsers CurrentUser; do
  before=$(mktemp) after=$(mktemp)
  # Both snapshots are taken after a restart of the prefix: the first start after the prefix was
  # made rewrites the font registry.
  wineboot -r >/dev/null 2>&1
  wineserver -w
  snapshot >"$before"
  wine "$setup" /S /$mode
  wineserver -w
  case $mode in
    AllUsers) dir="$drive/Program Files/Pictanote" root=HKLM ;;
    CurrentUser) dir=$(ls -d "$drive"/users/*/AppData/Local/Programs/Pictanote | head -n 1) root=HKCU ;;
  esac
  (cd "$folder" && find . -type f) | while read -r f; do
    [ -f "$dir/$f" ] || { echo "$mode: $f was not installed" >&2; exit 1; }
  done
  [ -f "$dir/uninstall.exe" ] || { echo "$mode: no uninstaller" >&2; exit 1; }
  [ "$(registry "$root\\Software\\Classes\\.ptn")" = Pictanote.WorkFile ] ||
    { echo "$mode: .ptn is not associated" >&2; exit 1; }
  command=$(registry "$root\\Software\\Classes\\Pictanote.WorkFile\\shell\\open\\command")
  case $command in *'pictanote.exe" "%1"') ;; *) echo "$mode: open command $command" >&2; exit 1 ;; esac
  find "$drive" -name 'Pictanote.lnk' | grep -q . || { echo "$mode: no Start-menu entry" >&2; exit 1; }
  echo "$mode: installed in ${dir#$drive/}, .ptn opens with $command"

  wine "$dir/uninstall.exe" /S /$mode
  wineserver -w
  sleep 2
  wineserver -w
  # The uninstaller runs from a copy of itself in the temporary folder, removed when Windows
  # next starts, as a restart of the prefix does.
  wineboot -r >/dev/null 2>&1
  wineserver -w
  snapshot >"$after"
  if ! diff -u "$before" "$after" >"$after.diff"; then
    echo "$mode: the uninstaller left changes behind:" >&2
    head -n 40 "$after.diff" >&2
    exit 1
  fi
  echo "$mode: uninstalled, nothing left"
  rm -f "$before" "$after" "$after.diff"
done
