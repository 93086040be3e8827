#!/usr/bin/env bash
# Builds the Windows version with its test suite (tools/windows/build.sh --tests; Qt for Windows
# is compiled once and then reused) and checks it under Wine:
#   1. the test suite, each test program under Wine;
#   2. pictanote-render.exe from the unpacked folder against the Linux build, on a table of
#      work files (--make byte for byte, --info, pictures outside the number glyphs), with a
#      work file in a Japanese-named folder;
#   3. pictanote.exe from the unpacked folder starts on Xvfb with that work file and shows its
#      caption (the screenshot is kept in build/windows/screenshot.png);
#   4. the installer installs for all users and for the current user, and its uninstaller
#      leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
out=build/windows
started=$SECONDS
step() { echo "== $1 ($((SECONDS - started)) s so far)"; }

bash tools/windows/build.sh --tests
qt=$(cat $out/qt-prefix)
version=$(sed -n 's/^project(Pictanote VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
folder=$root/$out/pictanote-$version-win64
export WINEPREFIX=$root/$out/wineprefix WINEDEBUG=-all LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
bash tools/windows/wineprefix.sh

step "Suite under Wine"
QT_QPA_PLATFORM=offscreen ctest --test-dir $out/build --output-on-failure -j "$(nproc)"

step "pictanote-render.exe against the Linux build"
rm -rf $out/parity
$out/host/tools/windows/parity/pictanote-render-parity $out/parity ../shared/bmpsuite \
  "$root/$out/host/tools/pictanote-render/pictanote-render" \
  "$root/tools/windows/wine-run.sh" - - "$folder/pictanote-render.exe"

step "pictanote.exe on a display"
bash tools/windows/show.sh "$folder/pictanote.exe" "$root/$out/parity/作業/説明図.ptn" \
  "Pictanote Ver $version" "$root/$out/screenshot.png"

step "Installer"
bash tools/windows/installer-check.sh "$root/$out/pictanote-$version-setup.exe" "$folder"

step "All Windows checks passed"
