#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The calculator in a web browser.
#   bash scripts/web.sh          builds the site and serves it on http://127.0.0.1:8080/
#   bash scripts/web.sh build    writes the site to build-web/site/ (index.html at its root)
#   bash scripts/web.sh test     the WebAssembly tests under node, then the page in chromium
#   bash scripts/web.sh browser  only the page in chromium
# Like run.sh, it first installs what is missing (Debian, as root; npm from the lock file).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-serve}
case "$mode" in
  build | serve)
    bash scripts/deps.sh web
    cmake --preset wasm >/dev/null
    cmake --build --preset site
    ;;
  test)
    bash scripts/deps.sh web browser
    exec cmake --workflow --preset web
    ;;
  browser)
    bash scripts/deps.sh web browser
    cmake --preset wasm >/dev/null
    cmake --build --preset wasm
    exec ctest --preset browser
    ;;
  *)
    echo "usage: bash scripts/web.sh [build|test|browser]" >&2
    exit 2
    ;;
esac
if [ "$mode" = build ]; then
  echo "The site is in build-web/site/"
else
  echo "The calculator: http://127.0.0.1:8080/ (Ctrl+C stops the server)"
  exec python3 -m http.server --bind 127.0.0.1 8080 --directory build-web/site
fi
