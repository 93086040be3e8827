#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing the Windows version needs, when any
# is missing: the MinGW-w64 compilers (and the licence records of their runtime), Wine, NSIS
# and what fetching Qt's source takes.
set -euo pipefail
exec bash "$(dirname "$0")/../deps.sh" \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
  libz-mingw-w64-dev mingw-w64-common gcc-mingw-w64-base \
  wine wine64 nsis \
  dpkg-dev xz-utils \
  fonts-ipafont-gothic xvfb xauth xdotool x11-utils imagemagick openbox
