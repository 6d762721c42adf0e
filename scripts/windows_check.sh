#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program, proven by running it: check-under-wine.sh (in ../shared/windows beside
# the checkout) builds it for 64-bit Windows and passes when its window comes up under Wine
# without DISPLAY and the .exe is a GUI program. Then one press of Calculate in the Windows
# program and in the Linux program: the six result boxes, copied out through the clipboard,
# must hold the same texts; and the same operating points through --batch must give the
# same CSV.
#   bash scripts/windows_check.sh LINUX_PROGRAM
# Settings (environment): RMS_WINDOWS_KIT (the folder holding check-under-wine.sh),
# WORK (build folders, Wine prefix, screenshots; default build-windows), DISPLAY_NUM (74).
set -euo pipefail
cd "$(dirname "$0")/.."
linux_program=$(readlink -f "${1:?usage: windows_check.sh LINUX_PROGRAM}")
kit=${RMS_WINDOWS_KIT:-../shared/windows}
export WORK=${WORK:-$PWD/build-windows}
export DISPLAY_NUM=${DISPLAY_NUM:-74}
export JOBS=${JOBS:-$(nproc)}

if [ ! -f "$kit/check-under-wine.sh" ]; then
  echo "windows_check: no $kit/check-under-wine.sh" >&2
  # In CI the kit is always there; elsewhere its absence only skips the Windows check.
  [ "${CI:-}" = true ] && exit 1
  echo "windows_check: skipped"
  exit 0
fi
SRC=$PWD bash "$kit/check-under-wine.sh"

# --- One press in each program --------------------------------------------------------
export WINEPREFIX=$WORK/wineprefix WINEDEBUG=-all DISPLAY=:$DISPLAY_NUM
xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# The check above has just stopped its X server; start one unless another answers there.
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  sleep 1
  Xvfb ":$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp >"$WORK/xvfb-press.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 20); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.5
  done
fi

# Starts a program (its command line as arguments), presses Calculate with the keyboard and
# writes the six result texts, one a line, to $WORK/<name>.results; a screenshot beside it.
# The focus starts in the T box; eleven Tabs reach the button, six Shift+Tabs go back to the
# first result box, and each Tab onto a box selects its text for Ctrl+C.
press_and_read() {
  local name=$1 pid w="" i
  shift
  "$@" >"$WORK/$name.press.out" 2>&1 &
  pid=$!
  for i in $(seq 1 60); do
    w=$(xdotool search --name '^Korvath RMS' 2>/dev/null | head -1 || true)
    [ -n "$w" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 1
  done
  if [ -z "$w" ]; then
    echo "windows_check: the $name program showed no window" >&2
    cat "$WORK/$name.press.out" >&2
    return 1
  fi
  sleep 2
  timeout 10 xdotool windowfocus --sync "$w" || true
  xdotool key --delay 50 $(printf 'Tab %.0s' $(seq 11)) space
  sleep 1
  xdotool key --delay 50 $(printf 'shift+Tab %.0s' $(seq 6))
  : >"$WORK/$name.results"
  for i in $(seq 6); do
    xdotool key ctrl+c
    sleep 0.5
    { xclip -o -selection clipboard 2>/dev/null || true; echo; } >>"$WORK/$name.results"
    xdotool key Tab
  done
  import -window root -depth 8 "$WORK/$name-press.png"
  xdotool key --window "$w" alt+F4 2>/dev/null || true
  sleep 1
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  tr -d '\r' <"$WORK/$name.results" >"$WORK/$name.results.tmp"
  mv "$WORK/$name.results.tmp" "$WORK/$name.results"
}

press_and_read linux env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$linux_program"
press_and_read windows bash -c "cd '$WORK/deploy' && exec wine cmd /c 'set DISPLAY=&& korvath-rms.exe'"

echo "result boxes after one press (Linux | Windows under Wine):"
paste -d'|' "$WORK/linux.results" "$WORK/windows.results"
if [ "$(grep -c . "$WORK/linux.results")" -ne 6 ]; then
  echo "windows_check: the Linux program did not give six result texts" >&2
  exit 1
fi
if ! cmp -s "$WORK/linux.results" "$WORK/windows.results"; then
  echo "windows_check: the Windows program shows other results than the Linux program" >&2
  exit 1
fi
# --- The command line -------------------------------------------------------------------
# The same operating points through --batch in both programs, standard input and output
# redirected: the CSV must match byte for byte (line ends included), and so must the exit
# status (1: a row carries an error).
points=$WORK/points.csv
printf '%s\n' 't,T,Ip,Ia,Ib' '0.5,1,1,.5,1' '2,1,3,0,1' '1,0,1,1,1' \
  '136,648,503.8571290105287,-2.5e-3,1e30' >"$points"
linux_rc=0 windows_rc=0
"$linux_program" --batch "$points" >"$WORK/linux.csv" || linux_rc=$?
(cd "$WORK/deploy" && exec env -u DISPLAY wine korvath-rms.exe --batch <"$points") \
  >"$WORK/windows.csv" || windows_rc=$?
echo "--batch: exit $linux_rc on Linux, $windows_rc on Windows under Wine"
if [ "$linux_rc" != 1 ] || [ "$windows_rc" != 1 ] || ! cmp "$WORK/linux.csv" "$WORK/windows.csv"; then
  echo "windows_check: --batch gives other rows or another status on Windows" >&2
  diff "$WORK/linux.csv" "$WORK/windows.csv" >&2 || true
  exit 1
fi

echo "windows_check: passed"
