#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The suite away from the machine it was written on: the committed tree cloned into a folder
# whose path is long, holds blanks and non-ASCII letters and ends in the project's own name,
# and there, in a German locale, a time zone far from UTC and a tight umask, the command-line
# tests and the browser suite (the test preset anywhere). The linux preset's test anywhere.
#   bash scripts/anywhere_check.sh [FOLDER]   (the clone goes below FOLDER, default
#                                             build-anywhere/, which it empties first)
set -euo pipefail
cd "$(dirname "$0")/.."
base=$(realpath -m "${1:-build-anywhere}")
dir="$base/Prüfstand für Läufe – ein Ordner mit Leerzeichen, Umlauten und über hundert Zeichen/korvath-rms"
rm -rf "$base"
mkdir -p "$(dirname "$dir")"
git clone -q --no-hardlinks . "$dir"
cd "$dir"
[ "${#PWD}" -gt 100 ] || { echo "anywhere_check: $PWD is too short to prove anything" >&2; exit 1; }

export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Pacific/Chatham
umask 077
echo "anywhere_check: in $PWD as $(id -un), $LC_ALL, TZ=$TZ, umask $(umask)"
cmake --preset linux >/dev/null
cmake --build --preset anywhere
ctest --preset anywhere
