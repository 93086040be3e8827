#!/usr/bin/env bash
# Builds Pictanote for 64-bit Windows on this machine and makes
#   build/windows/pictanote-VERSION-win64.zip   a folder that runs wherever it is unpacked
#   build/windows/pictanote-VERSION-setup.exe   its installer
# The first run compiles Qt for Windows once (tools/windows/qt.sh, about half an hour on 2 cores);
# later runs reuse it. The generators that run during the build come from a native build.
# With --tests the Windows build also holds the test suite (tools/windows/test.sh uses that).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
tests=OFF
[ "${1:-}" = "--tests" ] && tests=ON

bash tools/deps.sh
bash tools/windows/deps.sh
qt=$(bash tools/windows/qt.sh | tail -n 1)
version=$(sed -n 's/^project(Pictanote VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/windows
jobs=$(nproc)
# ccache (when installed) shares its results between checkouts in other folders: paths under
# the checkout are hashed relative to it.
export CCACHE_BASEDIR=$(pwd) CCACHE_NOHASHDIR=1

echo "== Generators (native)"
host_targets=(pictanote-generators)
# The tests compare the Windows pictanote-render with the Linux one.
[ $tests = ON ] && host_targets+=(pictanote-render pictanote-render-parity)
cmake -S . -B $out/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTANOTE_BUILD_TESTS=OFF \
  -DPICTANOTE_BUILD_BENCH=OFF -DPICTANOTE_BUILD_WINDOWS_CHECKS=$tests >/dev/null
cmake --build $out/host -j "$jobs" --target "${host_targets[@]}"

echo "== Windows build"
cmake -S . -B $out/build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64.cmake" \
  -DPICTANOTE_HOST_TOOLS_DIR="$root/$out/host/generators" \
  -DPICTANOTE_BUILD_TESTS=$tests -DPICTANOTE_BUILD_BENCH=OFF -DPICTANOTE_WERROR=ON \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/tools/windows/wine-run.sh;$qt;$root/$out/build" >/dev/null
cmake --build $out/build -j "$jobs"

echo "== Folder, zip and installer"
name=pictanote-$version-win64
rm -rf "$out/$name" "$out/$name.zip"
cmake --install $out/build --prefix "$out/$name" >/dev/null
(cd $out && cmake -E tar cf "$name.zip" --format=zip "$name")
bash tools/windows/installer.sh "$out/$name" "$version" "$out/pictanote-$version-setup.exe"
echo "$qt" >$out/qt-prefix
ls -l "$out/$name.zip" "$out/pictanote-$version-setup.exe"
