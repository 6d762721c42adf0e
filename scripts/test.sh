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
ctest --preset linux --parallel "$(nproc)" "$@"
