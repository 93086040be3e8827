#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source with MinGW-w64 (and the TIFF
# and WebP readers from Debian's qt6-imageformats source, whose libtiff and libwebp come
# bundled), once, into
# ~/.cache/pictanote/ (PICTANOTE_CACHE moves it), and prints the installed prefix on the last
# line. The prefix is keyed by the Qt version and a hash of the options below and of the
# toolchain file, so changing either builds a new one; an existing prefix is used as it is.
# The Linux Qt serves as host tools (moc, rcc, uic). Takes about half an hour on 2 cores.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${PICTANOTE_CACHE:-$HOME/.cache/pictanote}
qt_version=6.4.2
toolchain=$here/mingw-w64.cmake

options=(
  -DCMAKE_BUILD_TYPE=Release
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  # Only Core, Gui, Widgets and Test are used.
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  # Debian's source lacks the third-party tablet header.
  -DFEATURE_tabletevent=OFF
  # The Windows platform plugin of 6.4.2 does not compile without OpenGL.
  -DFEATURE_opengl=ON -DINPUT_opengl=desktop
  # The Direct2D platform plugin compiles the whole Windows platform plugin a second time; the
  # program uses the Windows plugin itself.
  -DFEATURE_direct2d=OFF
  # Everything the program links comes from Qt's bundled copies.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF
)
key=$( (printf '%s\n' "${options[@]}"; cat "$toolchain") | sha256sum | cut -c1-12)
prefix=$cache/qt-$qt_version-mingw64-$key

# source_of PACKAGE: the orig tarball of a Debian source package, downloaded once.
source_of() {
  local pattern="$cache/src/$1_$qt_version*.orig.tar.xz"
  if ! compgen -G "$pattern" >/dev/null; then
    add_deb_src
    mkdir -p "$cache/src"
    (cd "$cache/src" && apt-get source --download-only -qq "$1" >/dev/null 2>&1)
  fi
  compgen -G "$pattern" | head -n 1
}

# A deb-src entry beside every deb entry apt already uses.
add_deb_src() {
  local SUDO=
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  [ -f /etc/apt/sources.list.d/pictanote-deb-src.sources ] && return 0
  [ -f /etc/apt/sources.list.d/pictanote-deb-src.list ] && return 0
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    cat /etc/apt/sources.list.d/*.sources | sed -n '/^Types:.*\bdeb\b/,/^$/p' |
      sed 's/^Types:.*/Types: deb-src/' |
      $SUDO tee /etc/apt/sources.list.d/pictanote-deb-src.sources >/dev/null
  fi
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/pictanote-deb-src.list >/dev/null || true
  fi
  $SUDO apt-get update -qq
}

# The image format plugins of qt6-imageformats, into the same prefix.
image_formats() {
  [ -f "$prefix/.imageformats-complete" ] && return 0
  local tarball work source_dir
  tarball=$(source_of qt6-imageformats)
  work=$cache/qtimageformats-build-$key
  rm -rf "$work"
  mkdir -p "$work"
  echo "Building Qt's TIFF and WebP readers for Windows (a few minutes)" >&2
  tar -xf "$tarball" -C "$work"
  source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  "$prefix/bin/qt-cmake" -S "$source_dir" -B "$work/build" -G Ninja \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_system_tiff=OFF -DFEATURE_system_webp=OFF -DFEATURE_jasper=OFF -DFEATURE_mng=OFF \
    >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; return 1; }
  cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; return 1; }
  cmake --install "$work/build" >/dev/null
  touch "$prefix/.imageformats-complete"
  rm -rf "$work"
}

# Qt's Japanese translations, where Qt for Windows looks for them (they are the same files on
# every system: Debian's serve).
translations() {
  mkdir -p "$prefix/translations"
  cp -u /usr/share/qt6/translations/qtbase_ja.qm /usr/share/qt6/translations/qt_ja.qm \
    "$prefix/translations/"
}

if [ -f "$prefix/.complete" ]; then
  image_formats
  translations
  echo "$prefix"
  exit 0
fi

tarball=$(source_of qt6-base)

work=$cache/qt-build-$key
# A build that was cut short (the machine stopped, a time limit) goes on where it stopped: the
# folder is keyed like the prefix, and ninja rebuilds only what is missing or out of date.
if [ -f "$work/.configured" ]; then
  echo "Going on with the Qt $qt_version build for Windows in $work" >&2
else
  rm -rf "$work"
  mkdir -p "$work"
  echo "Building Qt $qt_version for Windows once (about half an hour on 2 cores) in $work" >&2
  tar -xf "$tarball" -C "$work"
  source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  # 6.4.2 builds its DirectWrite font database into Gui only with Direct2D on, while the
  # Windows platform plugin uses it whenever DirectWrite 3 is there: without Direct2D the
  # plugin would not link. The plugin then keeps to its GDI font database, its default.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$source_dir/src/plugins/platforms/windows/qwindowsintegration.cpp"
  cmake -S "$source_dir" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; exit 1; }
  touch "$work/.configured"
fi
cmake --build "$work/build" -j "$(nproc)" >>"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
rm -rf "$work"
image_formats
translations
echo "$prefix"
