#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libraries without Qt and their tests for aarch64 and 32-bit x86 with
# Debian's cross compilers, GoogleTest included, and runs the tests under qemu-user:
# the golden table must come out to the same bits as on x86-64.
set -euo pipefail
cd "$(dirname "$0")/.."

for arch in aarch64 i686; do
  build=build-cross/$arch
  # The native build's optimisation, without its debug information, which only costs time.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DRMS_WITH_QT=OFF \
    -DRMS_GTEST_SOURCE_DIR=/usr/src/googletest \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$arch-linux-gnu.cmake"
  cmake --build "$build"
  ctest --test-dir "$build" --output-on-failure | tee "$build/ctest.log"
done
