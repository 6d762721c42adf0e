#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON \
  -DRMS_BUILD_BENCH=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure
