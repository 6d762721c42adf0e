#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the tests use, then builds with warnings as errors and runs every suite: the
# native one and, as its tests, the same under the sanitizers, the other processors, the
# WebAssembly build and the page in chromium, the Windows release under Wine, the fuzzers and
# the check from an awkward folder (ctest --print-labels in build-linux/ lists them).
# ctest's summary is the closing count; build-linux/junit.xml holds each test's result.
#   bash scripts/test.sh [CTEST_ARGS...]   e.g. -L browser, or -LE fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh all
cmake --preset linux
cmake --build --preset linux
status=0
ctest --preset linux --parallel "$(nproc)" "$@" || status=$?
# ctest shows a failed test's output where it ended, amid the others; its end, where a
# suite's failure says why, is repeated under the summary.
if [ -f build-linux/Testing/Temporary/LastTestsFailed.log ] && [ "$status" != 0 ]; then
  cut -d: -f2 build-linux/Testing/Temporary/LastTestsFailed.log | while read -r name; do
    echo "--- the end of $name's output:"
    awk -v name="$name" '$0 ~ "^[0-9]+/[0-9]+ Test: " name "$" { on = 1; next }
      on && /^<end of output>$/ { exit } on' build-linux/Testing/Temporary/LastTest.log |
      tail -n 40
  done
fi
exit "$status"
