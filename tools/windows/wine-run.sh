#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh QT-PREFIX BUILD-FOLDER PROGRAM ARGS...
# The build's test runner calls it as the cross-compiling emulator: the program finds the Qt
# libraries and plugins of QT-PREFIX and the build's own DLLs through the search path. With "-"
# for both, the program finds only what lies beside it, as on a machine without Qt (the
# unpacked folder is checked so). The Wine prefix is made on first use (wineprefix.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
qt=$1
build=$2
shift 2
export WINEPREFIX=${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/windows/wineprefix}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-C.UTF-8}
# A console program's children get a console host from Wine that outlives the program and
# holds on to the output it inherited: a caller reading to the end of a pipe (the test
# runner, QProcess) would wait for it forever. The same goes for the Wine server and its
# services, started by whichever Wine command comes first (winepath too). Everything here
# writes to files instead, passed on when the program ends.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
(
  bash "$here/wineprefix.sh"
  unset WINEPATH QT_PLUGIN_PATH
  if [ "$qt" != - ]; then
    # The MinGW runtime (libstdc++, libgcc, winpthread) lies beside the programs only in the
    # unpacked folder; here it comes from the compiler's own folders.
    runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
    export WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$build/common");$(winepath -w "$runtime");$(winepath -w /usr/x86_64-w64-mingw32/lib)"
    # Wine hands no QT_ variable on to Windows programs; Qt finds its plugins beside its
    # libraries.
  fi
  exec wine "$@"
) >"$out" 2>"$err" </dev/null || status=$?
cat "$out"
cat "$err" >&2
exit $status
