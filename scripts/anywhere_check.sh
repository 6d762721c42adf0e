#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The suite away from the machine it was written on: the committed tree cloned into a folder
# whose path is long, holds blanks and non-ASCII letters and ends in the project's own name,
# and there, in a German locale, a time zone far from UTC and a tight umask, the command-line
# tests and the browser suite. Only the program, its command-line tests and the site are
# built, so this costs minutes, not a second whole suite.
#   bash scripts/anywhere_check.sh [FOLDER]   (the clone goes below FOLDER, default
#                                             build-anywhere/, which it empties first)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh desktop tests web browser

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

tests='^(korvath_rms_command_line|korvath_rms_without_display|command_line_tests)$'
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON >/dev/null
cmake --build build --target korvath-rms command_line_tests
ctest --test-dir build --output-on-failure --no-tests=error -R "$tests" | tee build/ctest.log
grep -q '100% tests passed, 0 tests failed out of 3$' build/ctest.log ||
  { echo "anywhere_check: expected three command-line tests to pass" >&2; exit 1; }

bash scripts/web.sh browser
passed=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' build-web/browser.log)
if [ "${passed:-0}" -eq 0 ] || ! grep -qx '# fail 0' build-web/browser.log; then
  echo "anywhere_check: the browser suite did not pass" >&2
  exit 1
fi
echo "anywhere_check: passed (3 command-line tests, $passed browser tests)"
