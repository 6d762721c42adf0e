#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The release is reproducible: two clean clones of the commit checked out here, in two
# folders of different lengths (the second with blanks and non-ASCII letters), each run
# release.sh under other conditions: time zone, locale, umask, number of jobs, and the time
# itself, as one runs after the other; the second, when run as root, as another user, and
# through disorderfs with shuffled directories where FUSE is at hand. Both SHA256SUMS must be
# identical and must match their files. On a difference, diffoscope reports every file that differs, and the check fails.
# The two builds share what cannot reach the bytes: the installed packages, the unpacked
# Qt for Windows, emscripten's cache.
#   bash scripts/release_check.sh
# Settings (environment): WORK (the two clones; default build-release-check/, emptied
# first, removed after a pass), RMS_WINDOWS_QT (see windows_release.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
commit=$(git rev-parse HEAD)
work=${WORK:-$repo/build-release-check}
t0=$(date +%s)

fail() {
  echo "release_check: $*" >&2
  exit 1
}
step() { echo "=== [$(($(date +%s) - t0)) s] $*"; }

bash scripts/deps.sh release
# A difference is reported by diffoscope (Debian's diffoscope-minimal is enough).
command -v diffoscope >/dev/null || fail "no diffoscope to report a difference with"

mkdir -p "$work"
work=$(cd "$work" && pwd)
a=$work/a
b="$work/zweiter Bau, längerer Ordner mit Leerzeichen/korvath-rms"
shuffled=$(dirname "$b")
fusermount -u -q "$shuffled" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work" "$shuffled"

# Where FUSE is at hand, the second build lists every directory in another order, as
# another file system would: through disorderfs, which shuffles the entries.
shuffle="in the file system's own directory order"
if command -v disorderfs >/dev/null && [ -w /dev/fuse ]; then
  mkdir -p "$work/store"
  chmod 755 "$work" "$work/store"
  disorderfs -q --shuffle-dirents=yes --multi-user=yes "$work/store" "$shuffled" >/dev/null ||
    fail "disorderfs could not mount $shuffled"
  trap 'fusermount -u -q "$shuffled" 2>/dev/null || true' EXIT
  shuffle="with every directory's entries shuffled"
else
  echo "release_check: no disorderfs or no /dev/fuse: both builds see the same directory order"
fi

# Both builds take one Qt for Windows, unpacked (if it is not already) where the second
# user can read it: a root's cache is not.
if [ -z "${RMS_WINDOWS_QT:-}" ]; then
  RMS_WINDOWS_QT=$(XDG_CACHE_HOME=$work/cache bash scripts/windows_release.sh --kit)
  chmod -R a+rX "$work/cache" 2>/dev/null || true
fi
export RMS_WINDOWS_QT

# Run as root, the second build is another user's: nobody's, with a home of its own.
second_user=()
second_who="this user"
if [ "$(id -u)" -eq 0 ] && id -u nobody >/dev/null 2>&1; then
  mkdir -p "$work/home"
  chown nobody "$work/home"
  second_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups env "HOME=$work/home")
  second_who=nobody
fi

# build FOLDER UMASK AS_USER... -- ENV...: a clone of the commit in FOLDER, release.sh
# there.
build() {
  local folder=$1 mask=$2 as_user=()
  shift 2
  while [ "$1" != -- ]; do
    as_user+=("$1")
    shift
  done
  shift
  git clone -q --no-checkout "$repo" "$folder"
  git -C "$folder" checkout -q --detach "$commit"
  if ((${#as_user[@]})); then
    chmod 755 "$work" "$(dirname "$folder")"
    chown -R nobody "$folder"
    touch "$folder.log" && chown nobody "$folder.log"
  fi
  if ! (cd "$folder" && umask "$mask" &&
    "${as_user[@]}" env -u LC_ALL -u LANGUAGE "$@" bash scripts/release.sh >"$folder.log" 2>&1); then
    tail -n 60 "$folder.log" >&2
    fail "release.sh failed in $folder (log: $folder.log)"
  fi
  tail -n 7 "$folder.log"
  (cd "$folder/release" && sha256sum --quiet --strict -c SHA256SUMS) ||
    fail "the files in $folder/release do not match its SHA256SUMS"
}

step "first build: $(id -un), UTC, C.UTF-8, umask 022, 2 jobs, in $a"
build "$a" 022 -- TZ=UTC LANG=C.UTF-8 JOBS=2
step "second build: $second_who, UTC+14, de_DE.UTF-8, umask 077, 1 job, in $b, $shuffle"
build "$b" 077 "${second_user[@]}" -- TZ=Pacific/Kiritimati LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 \
  JOBS=1

step "comparing"
if cmp -s "$a/release/SHA256SUMS" "$b/release/SHA256SUMS"; then
  cat "$a/release/SHA256SUMS"
  files=$(wc -l <"$a/release/SHA256SUMS")
  fusermount -u -q "$shuffled" 2>/dev/null || true
  rm -rf "$work"
  echo "release_check: passed, $files files identical in $(($(date +%s) - t0)) s"
  exit 0
fi
diff "$a/release/SHA256SUMS" "$b/release/SHA256SUMS" || true
while read -r sum name; do
  if [ ! -f "$b/release/$name" ]; then
    echo "release_check: the second build wrote no $name" >&2
  elif ! grep -qxF "$sum  $name" "$b/release/SHA256SUMS"; then
    echo "=== diffoscope $name"
    diffoscope --no-progress --text - --max-report-size 2000000 \
      "$a/release/$name" "$b/release/$name" || true
  fi
done <"$a/release/SHA256SUMS"
fail "the two builds differ (both are kept in $work; the second one, if shuffled, in $work/store)"
