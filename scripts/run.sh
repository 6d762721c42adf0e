#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the calculator and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh desktop
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build --target korvath-rms
exec ./build/app/korvath-rms "$@"
