#!/usr/bin/env bash
# Makes the Wine prefix the Windows programs run in, once: a 64-bit prefix of its own
# (WINEPREFIX, default build/windows/wineprefix) with a Japanese font. Wine ships none, so the
# IPA Gothic fonts go into its Fonts folder, and the fonts the program asks for by name
# ("ＭＳ ゴシック", "ＭＳ Ｐゴシック") are substituted by them, as on a Windows without those fonts
# the program's own fallback would choose. Safe to call from several processes at once.
set -euo pipefail
prefix=${WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/windows/wineprefix}
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all LANG=C.UTF-8
# No Mono or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.pictanote-ready" ] && exit 0
wineboot -i >/dev/null 2>&1
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf "$fonts/"
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"IPAGothic (TrueType)"="ipag.ttf"
"IPAPGothic (TrueType)"="ipagp.ttf"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
REG
# regedit reads UTF-16 files with a byte-order mark.
iconv -f UTF-8 -t UTF-16 "$reg" >"$reg.utf16"
wine regedit /S "$(winepath -w "$reg.utf16")" >/dev/null 2>&1
wineserver -w
rm -f "$reg" "$reg.utf16"
touch "$prefix/.pictanote-ready"
