#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Windows release on Linux: the program cross-built for 64-bit Windows with
# MinGW-w64 (preset windows-mingw-cross), then cpack's portable ZIP and NSIS installer in
# build-windows/release/. Prints the paths of the two files.
#   bash scripts/windows_release.sh
#   bash scripts/windows_release.sh --preflight   only says whether it can run here: status 0,
#       or 3 with the reason on stdout when this machine cannot build it (other faults: 1)
#   bash scripts/windows_release.sh --kit         only finds (or unpacks) the Qt for Windows
#       and prints its folder
#   bash scripts/windows_release.sh --test        builds the release and runs the Windows build
#       folder's tests (the packages, their files as they stand, the Wine session; label
#       windows): status 0 when they pass, 77 when this machine cannot run them (a failure
#       when CI=true), anything else when one fails. The Linux program they compare with is
#       RMS_LINUX_PROGRAM, else build-linux's, built (preset linux) if missing. The installer
#       it must upgrade (test windows_wine_previous) is RMS_PREVIOUS_SETUP, else the previous
#       release's, built once from its commit into build-windows-previous/ (the test is
#       skipped where git does not have that commit, as in a shallow clone).
# Settings (environment): RMS_WINDOWS_QT, a Qt 6 for MinGW-w64 x86-64 (the folder holding
# lib/cmake/Qt6/qt.toolchain.cmake); without it, the kit's own /opt/qt6-mingw if someone
# unpacked it there, else the Qt of ../shared/windows/ unpacked once under
# ${XDG_CACHE_HOME:-~/.cache}/korvath-rms/, which needs no root. JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
preflight=false kit_only=false testing=false
[ "${1:-}" = --preflight ] && preflight=true
[ "${1:-}" = --kit ] && kit_only=true
[ "${1:-}" = --test ] && testing=true
bash scripts/deps.sh windows >&2
$testing && bash scripts/deps.sh wine >&2

cannot() {
  if $preflight; then echo "$*"; else echo "windows_release: $*" >&2; fi
  if $testing; then
    [ "${CI:-}" = true ] && exit 1
    exit 77
  fi
  exit 3
}
toolchain=lib/cmake/Qt6/qt.toolchain.cmake
chosen=${RMS_WINDOWS_QT:-}
if [ -z "$chosen" ]; then
  tarball=../shared/windows/qt6-mingw-6.4.2.tar.xz
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/korvath-rms/$(basename "$tarball" .tar.xz)
  if [ -f /opt/qt6-mingw/$toolchain ]; then
    RMS_WINDOWS_QT=/opt/qt6-mingw
  elif [ -f "$cache/qt6-mingw/$toolchain" ]; then
    RMS_WINDOWS_QT=$cache/qt6-mingw
  elif [ -f "$tarball" ]; then
    if ! $preflight; then
      echo "windows_release: unpacking $tarball into $cache" >&2
      rm -rf "$cache.partial"
      mkdir -p "$cache.partial"
      tar -C "$cache.partial" -xf "$tarball"
      rm -rf "$cache"
      mv "$cache.partial" "$cache"
    fi
    RMS_WINDOWS_QT=$cache/qt6-mingw
  else
    cannot "no Qt for Windows: set RMS_WINDOWS_QT or provide $tarball"
  fi
fi
if $kit_only && [ -f "$RMS_WINDOWS_QT/$toolchain" ]; then
  echo "$RMS_WINDOWS_QT"
  exit 0
fi
if [ -f "$RMS_WINDOWS_QT/$toolchain" ]; then
  kit=$(sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")$/\1/p' \
    "$RMS_WINDOWS_QT/lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake")
elif $preflight && [ -z "$chosen" ]; then
  kit=$(basename "$tarball" .tar.xz | sed 's/.*-//') # not unpacked yet: its name says
else
  echo "windows_release: $RMS_WINDOWS_QT holds no $toolchain" >&2
  exit 1
fi
# moc, rcc and uic come from the host's Qt (QT_HOST_PATH=/usr) and write code for their own
# version's headers: a newer host moc writes code the kit's headers cannot compile.
host=$(/usr/lib/qt6/libexec/moc -v 2>/dev/null | sed -n 's/^moc \([0-9.]*\)$/\1/p')
if [ "${host%.*}" != "${kit%.*}" ]; then
  cannot "needs Qt ${kit%.*} host tools for the Qt $kit kit; this host's moc is ${host:-missing}" \
    "(Debian 12 has Qt 6.4)"
fi
$preflight && exit 0
export RMS_WINDOWS_QT

if $testing; then
  command -v wine >/dev/null && command -v Xvfb >/dev/null || cannot "no Wine or no Xvfb"
  linux_program=${RMS_LINUX_PROGRAM:-build-linux/app/korvath-rms}
  if [ ! -x "$linux_program" ] && [ -z "${RMS_LINUX_PROGRAM:-}" ]; then
    cmake --preset linux >&2
    cmake --build --preset linux -j"${JOBS:-$(nproc)}" --target korvath-rms >&2
  fi
  if [ -z "${RMS_PREVIOUS_SETUP:-}" ]; then
    # The commit release 1.00 was built from: its installation is the one users have.
    previous=a44024d
    previous_dir=build-windows-previous/$previous
    if [ ! -f "$previous_dir/setup.exe" ] &&
      git rev-parse -q --verify "$previous^{commit}" >/dev/null 2>&1; then
      rm -rf "$previous_dir"
      mkdir -p "$previous_dir/source"
      git archive "$previous" | tar -x -C "$previous_dir/source"
      previous_setup=$(cd "$previous_dir/source" && bash scripts/windows_release.sh | grep '\.exe$')
      cp "$previous_setup" "$previous_dir/setup.exe"
      rm -rf "$previous_dir/source"
    fi
    [ -f "$previous_dir/setup.exe" ] && RMS_PREVIOUS_SETUP=$PWD/$previous_dir/setup.exe
  fi
  cmake --preset windows-mingw-cross -DRMS_LINUX_PROGRAM="$(readlink -f "$linux_program")" \
    -DRMS_PREVIOUS_SETUP="${RMS_PREVIOUS_SETUP:-}" >&2
  cmake --build --preset windows-mingw-cross -j"${JOBS:-$(nproc)}" >&2
  ctest --preset windows-mingw-cross || exit 1
  exit 0
fi
cmake --preset windows-mingw-cross >&2
cmake --build --preset windows-mingw-cross -j"${JOBS:-$(nproc)}" >&2
rm -rf build-windows/release
(cd build-windows && cpack) >&2

for f in build-windows/release/korvath-rms-*-windows-x86_64.zip \
  build-windows/release/korvath-rms-*-windows-x86_64.exe; do
  [ -f "$f" ] || { echo "windows_release: cpack wrote no $f" >&2; exit 1; }
  echo "$PWD/$f"
done
