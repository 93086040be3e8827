#!/usr/bin/env bash
# Makes the installer from the unpacked Windows folder: installer.sh FOLDER VERSION SETUP.exe.
# The lists of files to install and to remove are written from the folder itself, so the
# uninstaller removes exactly what the installer put there (and the folders, when empty).
set -euo pipefail
stage=$(cd "$1" && pwd)
version=$2
setup=$(realpath -m "$3")
nsi=$(cd "$(dirname "$0")/../../packaging/windows" && pwd)/installer.nsi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { printf '%s' "$1" | tr '/' '\\'; }
(
  cd "$stage"
  find . -type d ! -name . | sort | while read -r d; do
    printf 'CreateDirectory "$INSTDIR\\%s"\n' "$(win "${d#./}")"
  done
  find . -type f | sort | while read -r f; do
    rel=${f#./}
    dir=$(dirname "$rel")
    if [ "$dir" = . ]; then out='$INSTDIR'; else out="\$INSTDIR\\$(win "$dir")"; fi
    printf 'SetOutPath "%s"\nFile "%s"\n' "$out" "$stage/$rel"
  done
  printf 'SetOutPath "$INSTDIR"\n'
) >"$work/files.nsh"
(
  cd "$stage"
  find . -type f | sort | while read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "$(win "${f#./}")"
  done
  # Deepest folders first, each only when empty.
  find . -type d ! -name . | sort -r | while read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "$(win "${d#./}")"
  done
) >"$work/unfiles.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$work/files.nsh" \
  -DUNFILES="$work/unfiles.nsh" -DOUTFILE="$setup" "$nsi"
