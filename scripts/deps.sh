#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs on Debian (as root, or through sudo) what a purpose needs and is missing.
#   bash scripts/deps.sh GROUP...   groups: desktop tests cross windows wine web browser release
#   bash scripts/deps.sh all        every group: what scripts/test.sh needs
#   bash scripts/deps.sh --list GROUP...   prints the packages instead (for measuring them)
# run.sh asks for desktop only, so starting the calculator does not bring the workshop.
# Once everything is in, nothing here needs root.
set -euo pipefail

declare -A groups=(
  # Building and running the desktop program.
  [desktop]="build-essential cmake ninja-build qt6-base-dev qt6-qpa-plugins libgl-dev
    fonts-liberation"
  # The native suite: GoogleTest and Google Benchmark, the sanitizer and fuzzer builds with
  # clang, GMP for the exact references, the format check, screenshots under Xvfb, the icon files made from the two
  # committed images, and the desktop-integration and packaging checks.
  [tests]="libgtest-dev libgmock-dev libbenchmark-dev googletest clang libclang-rt-dev
    clang-format xvfb xauth xdotool imagemagick icoutils icnsutils desktop-file-utils
    appstream dpkg-dev file python3 libx11-6 lintian locales gzip man-db pkg-config
    libgmp-dev"
  # The Qt-free libraries for aarch64 and i686 under qemu-user.
  [cross]="g++-aarch64-linux-gnu g++-i686-linux-gnu qemu-user googletest"
  # The Windows release: MinGW-w64, the host's moc, rcc and uic, the installer's compiler,
  # and the tools that make the program's icon file.
  [windows]="cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools qt6-base-dev-tools
    nsis imagemagick icoutils icnsutils"
  # Its check under Wine. 64-bit Wine only: with the i386 architecture added, wine pulls in
  # wine32, whose loader cannot run on these machines.
  [wine]="wine64 wine xvfb xauth xdotool xclip imagemagick unzip python3"
  # The browser edition (preset wasm): the compiler, the float conversions its library lacks,
  # GoogleTest's sources for its tests, the web font's source, fontconfig to find it and the
  # tools that cut it, and the page's icons made from the two committed images.
  [web]="cmake ninja-build emscripten libfast-float-dev libfmt-dev googletest fonts-liberation2
    fontconfig python3 python3-fonttools python3-brotli woff2 imagemagick"
  # Its tests: a native build writes the conversion cases (preset wasm-cases, GoogleTest from
  # its sources), the page in three engines (chromium; firefox-esr; WebKitGTK's driver with
  # its MiniBrowser, on a virtual display), node and npm run the suite's packages.
  [browser]="build-essential googletest chromium firefox-esr webkit2gtk-driver xvfb nodejs"
  # The release: the Debian package's tools (its library dependencies, the gzipped manual
  # page, the icons made from the two committed images), git for the source archive, and
  # for its check the report on two builds that differ and the file system that shuffles
  # directories.
  [release]="dpkg-dev file gzip imagemagick icoutils icnsutils git python3 diffoscope-minimal
    disorderfs"
)

list_only=false
if [ "${1:-}" = --list ]; then list_only=true; shift; fi
wanted=("$@")
if [ "${wanted[*]:-}" = all ]; then wanted=(desktop tests cross windows wine web browser release); fi
if ((${#wanted[@]} == 0)); then
  echo "usage: bash scripts/deps.sh GROUP... | all (groups: ${!groups[*]})" >&2
  exit 2
fi

packages=()
for group in "${wanted[@]}"; do
  [ -n "${groups[$group]:-}" ] || { echo "deps.sh: no group '$group'" >&2; exit 2; }
  read -r -a list <<<"${groups[$group]//$'\n'/ }"
  packages+=("${list[@]}")
done
# npm comes with nodesource's node, and as a package of its own with Debian's.
if [[ " ${wanted[*]} " == *" browser "* ]] && ! command -v npm >/dev/null; then
  packages+=(npm)
fi

if $list_only; then
  printf '%s\n' "${packages[@]}" | sort -u
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
need_root() {
  if ((${#sudo_cmd[@]})) && ! command -v sudo >/dev/null; then
    echo "deps.sh: $1, which needs root; as root: $2" >&2
    exit 1
  fi
}

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  need_root "missing: ${missing[*]}" "apt-get install --no-install-recommends ${missing[*]}"
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

# The window writes numbers with the desktop's decimal separator; a test runs it on a
# German desktop, and en_US is the comparison. Generated the Debian way, through
# /etc/locale.gen, so that reconfiguring the locales package keeps them.
if [[ " ${wanted[*]} " == *" tests "* ]]; then
  missing_locales=()
  for l in de_DE.UTF-8 en_US.UTF-8; do
    if ! locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf8"; then missing_locales+=("$l"); fi
  done
  if ((${#missing_locales[@]})); then
    need_root "the tests need the locales ${missing_locales[*]}" \
      "enable them in /etc/locale.gen and run locale-gen"
    echo "Generating locales: ${missing_locales[*]}"
    for l in "${missing_locales[@]}"; do
      "${sudo_cmd[@]}" sed -i "s/^# *\($l UTF-8\)\$/\1/" /etc/locale.gen
      if ! grep -qx "$l UTF-8" /etc/locale.gen; then
        echo "$l UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
      fi
    done
    "${sudo_cmd[@]}" locale-gen
  fi
fi
