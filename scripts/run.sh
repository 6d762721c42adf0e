#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the calculator and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh desktop
cmake --preset app
cmake --build --preset app
exec ./build/app/korvath-rms "$@"
