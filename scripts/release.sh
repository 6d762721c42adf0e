#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every download of the version in CMakeLists.txt, built from this checkout into release/,
# with their SHA256SUMS: the Debian package, the Windows ZIP and installer, the site as a ZIP
# and the source as git archive writes it. Built again from the same commit, anywhere, by
# anyone, each file comes out the same to the byte (scripts/release_check.sh proves it).
#   bash scripts/release.sh                       from a checkout without changes
#   bash scripts/release.sh --allow-uncommitted   with them; the file names then say so
# Settings (environment): JOBS (nproc), RMS_WINDOWS_QT (see windows_release.sh).
# Each front end is built by its own way: the linux-release preset and cpack for the
# package, windows_release.sh, web.sh build; the build folders start empty.
set -euo pipefail
cd "$(dirname "$0")/.."

allow_uncommitted=false
case "${1:-}" in
  "") ;;
  --allow-uncommitted) allow_uncommitted=true ;;
  *)
    echo "usage: bash scripts/release.sh [--allow-uncommitted]" >&2
    exit 2
    ;;
esac

fail() {
  echo "release: $*" >&2
  exit 1
}

# git among them: the checks below ask it first.
bash scripts/deps.sh desktop release >&2
version=$(sed -n 's/^project(korvath-rms VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in the project() line of CMakeLists.txt"
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || fail "$PWD is not a git checkout"

# Untracked files count as changes too: the build would see them, the source archive not.
changes=$(git status --porcelain --untracked-files=normal)
commit=$(git rev-parse HEAD)
marker=
if [ -n "$changes" ]; then
  if ! $allow_uncommitted; then
    echo "release: the work tree has changes that are not committed:" >&2
    echo "$changes" >&2
    fail "commit them, or pass --allow-uncommitted for files named as such"
  fi
  marker=-uncommitted
  echo "release: building with uncommitted changes; every file name says '$version$marker'" >&2
  # The source archive gets the changes to tracked files (git stash create leaves the work
  # tree and the stash list alone); untracked files are not in it.
  stash=$(git stash create)
  commit=${stash:-$commit}
fi

# Every clock the tools read is the commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH
jobs=${JOBS:-$(nproc)}
# windows_release.sh reads JOBS; every other cmake --build, the web one too, this.
export JOBS=$jobs CMAKE_BUILD_PARALLEL_LEVEL=$jobs
started=$(date +%s)

rm -rf release build-release build-windows build-web
mkdir -p release

echo "release: the Debian package" >&2
cmake --preset linux-release >&2
cmake --build --preset linux-release -j"$jobs" >&2
# The package's outer ar archive takes the modes of cpack's scratch files.
(umask 022 && cd build-release/linux && cpack -G DEB -B "$PWD/../deb") >&2
cp build-release/deb/*.deb release/

echo "release: the Windows ZIP and installer" >&2
bash scripts/windows_release.sh | while read -r f; do cp "$f" release/; done

echo "release: the site" >&2
bash scripts/web.sh build >&2
/usr/bin/python3 scripts/release_zip.py build-web/site "korvath-rms-$version-web" \
  release/korvath-rms-"$version"-web.zip

echo "release: the source" >&2
git archive --format=tar.gz --prefix="korvath-rms-$version/" \
  -o release/korvath-rms-"$version".tar.gz "$commit"

# The names are the ones CPack and the steps above chose, in one order in every locale.
cd release
mapfile -t names < <(LC_ALL=C ls)
[ "${#names[@]}" -eq 5 ] || fail "expected five downloads in release/, found: ${names[*]}"
if [ -n "$marker" ]; then
  for i in "${!names[@]}"; do
    renamed=${names[i]/$version/$version$marker}
    mv "${names[i]}" "$renamed"
    names[i]=$renamed
  done
fi
sha256sum -- "${names[@]}" >SHA256SUMS

echo "release: $(git rev-parse --short=12 HEAD)$marker in $(($(date +%s) - started)) s," \
  "into $PWD:"
for name in "${names[@]}" SHA256SUMS; do
  printf '%12s bytes  %s\n' "$(stat -c %s -- "$name")" "$name"
done
