#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Windows release on Linux: the program cross-built for 64-bit Windows with
# MinGW-w64 (preset windows-mingw-cross), then cpack's portable ZIP and NSIS installer in
# build-windows/release/. Prints the paths of the two files.
#   bash scripts/windows_release.sh
# Settings (environment): RMS_WINDOWS_QT, a Qt 6 for MinGW-w64 x86-64 (the folder holding
# lib/cmake/Qt6/qt.toolchain.cmake); without it, the Qt of ../shared/windows/, unpacked
# where that kit unpacks it (/opt/qt6-mingw) unless it is there already. JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh windows >&2

if [ -z "${RMS_WINDOWS_QT:-}" ]; then
  RMS_WINDOWS_QT=/opt/qt6-mingw
  tarball=../shared/windows/qt6-mingw-6.4.2.tar.xz
  if [ ! -f "$RMS_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    if [ ! -f "$tarball" ]; then
      echo "windows_release: no Qt for Windows: set RMS_WINDOWS_QT or provide $tarball" >&2
      exit 1
    fi
    echo "windows_release: unpacking $tarball into $(dirname "$RMS_WINDOWS_QT")" >&2
    tar -C "$(dirname "$RMS_WINDOWS_QT")" -xf "$tarball"
  fi
fi
if [ ! -f "$RMS_WINDOWS_QT/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "windows_release: $RMS_WINDOWS_QT holds no lib/cmake/Qt6/qt.toolchain.cmake" >&2
  exit 1
fi
export RMS_WINDOWS_QT

cmake --preset windows-mingw-cross >&2
cmake --build --preset windows-mingw-cross -j"${JOBS:-$(nproc)}" >&2
rm -rf build-windows/release
(cd build-windows && cpack) >&2

for f in build-windows/release/korvath-rms-*-windows-x86_64.zip \
  build-windows/release/korvath-rms-*-windows-x86_64.exe; do
  [ -f "$f" ] || { echo "windows_release: cpack wrote no $f" >&2; exit 1; }
  echo "$PWD/$f"
done
