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
  test | browser) bash scripts/deps.sh web browser ;;
  *) bash scripts/deps.sh web ;;
esac

# emcc's optimizer needs Debian's acorn, which a node from elsewhere does not find itself.
export NODE_PATH=/usr/share/nodejs
node=$(command -v node)

# The page in Debian's chromium, driven by playwright-core (the lock file's version runs on
# node 18, Debian 12's, and later). The file is named and the reporter chosen, since node's
# defaults for both changed between those releases; test.sh counts the TAP reporter's
# closing "# pass N".
browser_suite() {
  if [ "$("$node" -p 'process.versions.node.split(".")[0]')" -lt 18 ]; then
    echo "The browser suite needs node 18 or later; this is $("$node" --version)" >&2
    exit 1
  fi
  (cd web && npm ci --no-audit --no-fund --silent)
  "$node" --test --test-reporter=tap web/tests/page.test.js | tee build-web/browser.log
}

site() {
  # The loader that runs the tests under node calls node's fetch on a file path, which
  # fails; without the fetch it reads the file itself.
  emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DRMS_WITH_QT=OFF \
    -DRMS_WERROR=ON -DRMS_GTEST_SOURCE_DIR=/usr/src/googletest \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$node;--no-experimental-fetch" >/dev/null
  cmake --build build-web --target site
}

case "$mode" in
  build)
    site
    echo "The site is in build-web/site/"
    ;;
  serve)
    site
    echo "The calculator: http://127.0.0.1:8080/ (Ctrl+C stops the server)"
    exec python3 -m http.server --bind 127.0.0.1 8080 --directory build-web/site
    ;;
  test)
    site
    # A native build, whose standard library converts floats itself, writes the conversion
    # cases; the WebAssembly build, converting through fast_float and {fmt}, must give
    # every one of them, and the golden table, the same.
    cmake -S . -B build-web/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRMS_WERROR=ON \
      -DRMS_WITH_QT=OFF >/dev/null
    cmake --build build-web/native --target conversion_cases
    build-web/native/tests/conversion_cases write build-web/conversion-cases.tsv
    cmake -DRMS_CONVERSION_CASES="$PWD/build-web/conversion-cases.tsv" build-web >/dev/null
    cmake --build build-web
    ctest --test-dir build-web --output-on-failure | tee build-web/ctest.log
    browser_suite
    ;;
  browser)
    site
    browser_suite
    ;;
  *)
    echo "usage: bash scripts/web.sh [build|test|browser]" >&2
    exit 2
    ;;
esac
