#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything with warnings as errors and runs every test; then runs them again
# under the sanitizers, and runs the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh all

# What could not run here, each as "what: why", for the closing line. In CI nothing may be
# skipped: every tool is there, so a skip is a fault.
skipped=()
skip() {
  if [ "${CI:-}" = true ]; then
    echo "test.sh: in CI nothing may be skipped, but: $1" >&2
    exit 1
  fi
  echo "test.sh: skipped $1" >&2
  skipped+=("$1")
}

# Every source file opens with its licence line (after a shebang or an XML declaration).
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  unlicensed=$(git ls-files -- '*.cpp' '*.h' '*.cmake' '*.sh' '*.py' '*CMakeLists.txt' '*.rc.in' \
    '*.js' '*.css' '*.html' |
    while read -r f; do head -n 3 "$f" | grep -q 'SPDX-License-Identifier: ' || echo "$f"; done)
  if [ -n "$unlicensed" ]; then
    echo "No SPDX-License-Identifier line in:" $unlicensed >&2
    exit 1
  fi
fi

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON \
  -DRMS_BUILD_BENCH=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure | tee build-test/ctest.log

# --- Other processors -------------------------------------------------------------
# The Qt-free libraries and their tests, golden table included, for aarch64 and i686
# under qemu-user.
bash scripts/cross.sh

# --- Web browser ------------------------------------------------------------------
# The Qt-free libraries compiled to WebAssembly: their tests, the golden table and a
# million conversion cases written by a native build, under node; then the page built from
# them, served by a plain static server, in Debian's chromium.
bash scripts/web.sh test
browser=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' build-web/browser.log)
browser_skipped=$(awk '/^# (skipped|todo) [0-9]+$/ { n += $3 } END { print n + 0 }' \
  build-web/browser.log)
[ "$browser_skipped" = 0 ] || skip "$browser_skipped of the browser suite's tests (build-web/browser.log)"

# --- Windows ----------------------------------------------------------------------
# The Windows release (portable ZIP and installer) built and used under Wine: its window
# comes up without DISPLAY, a press shows the Linux program's six results, and it installs,
# upgrades and uninstalls cleanly.
bash scripts/windows_check.sh build-test/app/korvath-rms | tee build-test/windows.log
windows=$(grep -c '^windows_check: passed' build-test/windows.log || true)
why=$(sed -n 's/^windows_check: skipped (\(.*\))$/\1/p' build-test/windows.log)
[ -z "$why" ] || skip "the Windows release and its check under Wine: $why"

# --- Sanitizers -------------------------------------------------------------------
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (no recovery): any report aborts the test that made it, and ctest fails. The sanitizers
# split their options at blanks and colons, so the path of the suppressions is quoted.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON \
  -DRMS_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=\"$PWD/scripts/lsan-suppressions.txt\":print_suppressions=0" \
  ctest --test-dir build-asan --output-on-failure | tee build-asan/ctest.log

# --- Fuzzing ----------------------------------------------------------------------
# Each libFuzzer target runs for RMS_FUZZ_SECONDS (default 60; 0 skips fuzzing) from the
# committed seeds plus what earlier runs in this build directory found. A crash, a
# sanitizer report, a leak or an input slower than 10 s is a finding: the input is kept
# in build-fuzz/findings/ and the script fails.
fuzz_seconds=${RMS_FUZZ_SECONDS:-60}
fuzzed=0
if [ "$fuzz_seconds" -gt 0 ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON -DRMS_BUILD_FUZZ=ON -DBUILD_TESTING=OFF
  cmake --build build-fuzz --target fuzz_text_to_single fuzz_press fuzz_batch
  mkdir -p build-fuzz/findings
  for target in text_to_single press batch; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/fuzz_$target.log
    mkdir -p "$corpus"
    echo "fuzz_$target: ${fuzz_seconds} s"
    if ! "build-fuzz/fuzz/fuzz_$target" -max_total_time="$fuzz_seconds" -timeout=10 \
        -dict=fuzz/rms.dict -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "fuzz_$target found a problem; the input is in build-fuzz/findings/" >&2
      exit 1
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log"
    fuzzed=$((fuzzed + 1))
  done
else
  skip "fuzzing: RMS_FUZZ_SECONDS=0"
fi

# One closing line for the whole run: the ctest cases of every build (the WebAssembly one
# included), the browser suite, the Windows check and the fuzz targets, and what of them
# could not run. (Any failure has already stopped the script.) ctest counts a test that
# skipped itself among those that passed, and lists it as "(Skipped)".
ctest_logs=(build-test/ctest.log build-asan/ctest.log build-web/ctest.log
  build-cross/aarch64/ctest.log build-cross/i686/ctest.log)
passed=$((windows + fuzzed + browser))
for log in "${ctest_logs[@]}"; do
  passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log")))
  # A disabled test is not among them, but is not run either.
  while read -r name why; do
    [ "$why" = Disabled ] || passed=$((passed - 1))
    skip "$name in $(dirname "$log"): $why"
  done < <(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (\(Skipped\|Disabled\))$/\1 \2/p' "$log")
done
summary="all: $passed passed, 0 failed, ${#skipped[@]} skipped"
if ((${#skipped[@]})); then
  summary+=" ($(printf '%s; ' "${skipped[@]}" | sed 's/; $//'))"
fi
echo "$summary"
