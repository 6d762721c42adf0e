#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, as root on Debian, whatever the build and the tests need and is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth xdotool imagemagick
  desktop-file-utils appstream dpkg-dev file python3 libx11-6
  lintian locales
  g++-aarch64-linux-gnu g++-i686-linux-gnu qemu-user googletest
  # The Windows build under Wine. 64-bit Wine only: with the i386 architecture added, wine
  # pulls in wine32, whose loader cannot run on these machines.
  g++-mingw-w64-x86-64-posix mingw-w64-tools qt6-base-dev-tools wine64 wine xclip
  # The Windows release: its installer, and the portable ZIP unpacked by the check.
  nsis unzip
  # The release check: the report on two builds that differ, and shuffled directories.
  diffoscope-minimal disorderfs
  gzip man-db
  # The browser edition: the compiler, the float conversions its library lacks, the web
  # font's source and the tools that cut it, the browser its tests drive, and npm for
  # their one package.
  emscripten libfast-float-dev libfmt-dev fonts-liberation2 python3-fonttools python3-brotli
  woff2 chromium nodejs
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

# The window writes numbers with the desktop's decimal separator; a test runs it on a
# German desktop, and en_US is the comparison. Generated the Debian way, through
# /etc/locale.gen, so that reconfiguring the locales package keeps them.
missing_locales=()
for l in de_DE.UTF-8 en_US.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf8"; then missing_locales+=("$l"); fi
done
if ((${#missing_locales[@]})); then
  echo "Generating locales: ${missing_locales[*]}"
  for l in "${missing_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i "s/^# *\($l UTF-8\)\$/\1/" /etc/locale.gen
    if ! grep -qx "$l UTF-8" /etc/locale.gen; then
      echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  done
  "${sudo_cmd[@]}" locale-gen
fi

# npm comes with nodesource's node, and as a package of its own with Debian's.
if ! command -v npm >/dev/null; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends npm
fi
