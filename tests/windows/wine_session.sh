#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows release, proven the way a user would use it, under Wine, each case in a fresh
# prefix of its own:
#   - the ZIP unpacked: the program is a GUI program, its window comes up without DISPLAY,
#     a press of Calculate gives the Linux program's six result texts (read through the
#     clipboard), it ends with status 0 when closed, and --batch writes the Linux CSV bytes;
#   - the installer with /S: the files, the Start-menu entry and the Uninstall entry are
#     there, the entry starts the program; an uninstall while it runs refuses and removes
#     nothing; Uninstall.exe /S afterwards leaves no file, entry or key behind;
#   - the installer run twice (an upgrade): one installation, and its program runs;
#   - with --previous=SETUP, only this: the installer over the previous release as SETUP
#     installs it leaves one installation of this release, and its program runs.
# The files as they stand (DLLs, version records, icons, licences) are checked by
# tests/packaging/check_windows.cmake. The shared kit's check-under-wine.sh proves the first
# of these of a folder it puts together itself; this check proves them of the files a user
# downloads, so it does not run the kit.
#   bash tests/windows/wine_session.sh [--previous=SETUP] LINUX_PROGRAM ZIP SETUP
#       as the Windows build folder's test windows_wine runs it (scripts/windows_release.sh
#       --test), which names the program in RMS_VERSION, RMS_PROGRAM, RMS_PRODUCT, RMS_MAKER
#       and RMS_INSTALL_DIR; status 77 without Wine (1 when CI=true)
# Settings (environment): RMS_WINDOWS_QT (see windows_release.sh), WORK (Wine prefixes,
# screenshots and outputs; default build-windows/check).
set -Eeuo pipefail
# A command that stops the session says which it was, inside a function too (-E).
trap 'echo "wine_session: line $LINENO${FUNCNAME:+ in ${FUNCNAME[*]}}: \"$BASH_COMMAND\" ended with status $?" >&2' ERR
cd "$(dirname "$0")/../.."
previous=
if [[ ${1:-} == --previous=* ]]; then
  previous=${1#--previous=}
  shift
  if [ ! -f "$previous" ]; then
    echo "wine_session: cannot run here: no previous release's setup (RMS_PREVIOUS_SETUP)" >&2
    [ "${CI:-}" = true ] && exit 1
    exit 77
  fi
  previous=$(readlink -f "$previous")
fi
linux_program=$(readlink -f "${1:?usage: wine_session.sh LINUX_PROGRAM ZIP SETUP}")
export WORK=${WORK:-$PWD/build-windows/check}

zip=$(readlink -f "$2") setup=$(readlink -f "$3")
for name in RMS_VERSION RMS_PROGRAM RMS_PRODUCT RMS_MAKER RMS_INSTALL_DIR; do
  [ -n "${!name:-}" ] || { echo "wine_session: $name is not set" >&2; exit 1; }
done
version=$RMS_VERSION program=$RMS_PROGRAM product=$RMS_PRODUCT
bash scripts/deps.sh wine
if ! command -v wine >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "wine_session: cannot run here: no Wine or no Xvfb" >&2
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

t0=$(date +%s)
step_name="the start"
step() {
  step_name=$*
  echo "=== [$(($(date +%s) - t0)) s] $*"
}
# The screen and its windows at the moment of a failure go with its message.
fail() {
  [ -n "${output:-}" ] && cat "$output" >&2
  if [ -n "${DISPLAY:-}" ]; then
    import -window root -depth 8 "$WORK/failure.png" 2>/dev/null || true
    echo "windows on screen (see $WORK/failure.png):" >&2
    xdotool search --onlyvisible --name . 2>/dev/null | while read -r window; do
      echo "  $(xdotool getwindowname "$window" 2>/dev/null)" >&2
    done
  fi
  echo "wine_session: $step_name: $*" >&2
  exit 1
}

rm -rf "$WORK"
mkdir -p "$WORK"
unzip -q -d "$WORK/zip" "$zip"
portable=$WORK/zip/$(basename "$zip" .zip)
[ -f "$portable/$program.exe" ] || fail "the ZIP holds no $(basename "$portable")/$program.exe"

# --- Wine -----------------------------------------------------------------------------
export WINEDEBUG=-all
# Wine speaks the desktop's language, and so does the installer, whose window titles the
# check looks for: in German its "Setup" is "Installation".
export LC_ALL=C.UTF-8
# No Mono or Gecko prompts, and no Linux menu entries for the Start-menu shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
xvfb_pid=
cleanup() {
  set +e
  trap - ERR
  jobs -p | xargs -r kill 2>/dev/null
  for p in "$WORK"/prefix-*; do WINEPREFIX=$p wineserver -k 2>/dev/null; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
# Polls for an event (a window, a process, a file: the command given succeeds) every fifth
# of a second, and fails the session when it has not come within the seconds given.
wait_for() {
  local seconds=$1 what=$2 deadline
  shift 2
  deadline=$(($(date +%s) + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "$what did not come within $seconds s"
    sleep 0.2
  done
}
# An X server of the session's own, on a number it picks and writes once it takes clients: a
# Wine program whose server goes away ends at once with status 1, and a server shared with
# another session (a fixed number, or one found running) goes when that session ends.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/xvfb.display" \
  >"$WORK/xvfb.log" 2>&1 &
xvfb_pid=$!
x_ready() { grep -qx '[0-9][0-9]*' "$WORK/xvfb.display" || ! kill -0 "$xvfb_pid"; }
wait_for 20 "the X server (see $WORK/xvfb.log)" x_ready
kill -0 "$xvfb_pid" 2>/dev/null || fail "the X server did not start: $(cat "$WORK/xvfb.log")"
export DISPLAY=:$(cat "$WORK/xvfb.display")

step "a fresh Wine prefix"
# Made once and copied for each case, so that every case starts from the same new prefix.
pristine=$WORK/pristine-prefix
WINEPREFIX=$pristine wineboot -i >"$WORK/wineboot.log" 2>&1 || true
# Without font smoothing, Wine's monochrome rendering of Liberation Sans draws every capital
# I blank (Windows draws them).
WINEPREFIX=$pristine wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /t REG_SZ /d 2 \
  /f >>"$WORK/wineboot.log" 2>&1 || fail "no font smoothing: $(cat "$WORK/wineboot.log")"
WINEPREFIX=$pristine wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType \
  /t REG_DWORD /d 2 /f >>"$WORK/wineboot.log" 2>&1 ||
  fail "no font smoothing: $(cat "$WORK/wineboot.log")"
WINEPREFIX=$pristine wineserver -w
[ -f "$pristine/system.reg" ] || fail "wineboot made no prefix: $(cat "$WORK/wineboot.log")"
# Ends the prefix's Wine processes; a server that has already ended on its own (it stays a
# few seconds after the last program) is as good.
end_wine() { wineserver -k 2>/dev/null || true; }
new_prefix() {
  export WINEPREFIX=$WORK/prefix-$1
  cp -a "$pristine" "$WINEPREFIX"
}
# Waits until every Windows process of the prefix has ended (a question on screen would
# keep one waiting for ever).
settle() { timeout 60 wineserver -w || fail "a Windows program of $WINEPREFIX is still running"; }

# Sets WIN to the program's window once it is on screen and has the keyboard, within 120 s;
# fails when it does not come, and at once when the program (pid, if given) ends first.
# The first window whose name begins with $1. Not through head: once it has its line and
# ends, xdotool, still writing the next match, dies of SIGPIPE, and under pipefail the
# session with it.
first_window() {
  local windows
  windows=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) || true
  printf '%s' "${windows%%$'\n'*}"
}
window_of() { first_window "^$product"; }
# The window found is the one kept: a second search might not find it again.
window_or_end() {
  WIN=$(window_of)
  [ -n "$WIN" ] || { [ -n "${1:-}" ] && ! kill -0 "$1"; }
}
await_window() {
  wait_for 120 "the $product window" window_or_end "${1:-}"
  [ -n "$WIN" ] || fail "the program ended before it showed its window"
  timeout 30 xdotool windowfocus --sync "$WIN" || fail "the $product window took no focus"
}
# Closes the window with Alt+F4 and waits up to 60 s for it to go.
no_window() { [ -z "$(xdotool search --name "^$product" 2>/dev/null)" ]; }
close_window() {
  xdotool key --window "$WIN" alt+F4 2>/dev/null || true
  wait_for 60 "the window's end after Alt+F4" no_window
}
ended() { ! kill -0 "$1"; }
# Waits up to 60 s for a background program to end, and sets RC to its status.
await_exit() {
  wait_for 60 "the end of process $1" ended "$1"
  RC=0
  wait "$1" || RC=$?
}
# The clipboard's text. An owner that does not answer would keep xclip waiting for ever, and
# one that answers late (Wine's, on a busy machine) would give an empty text: either way the
# read fails, and is tried again.
clipboard() {
  local text
  text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null) && [ -n "$text" ] &&
    printf '%s' "$text"
}
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
# Sets COPIED to the clipboard's text once it is another than $1: the program has copied a
# box into it.
clipboard_is_not() { COPIED=$(clipboard) && [ "$COPIED" != "$1" ]; }
# Puts "no box copied yet" on the clipboard. xclip takes the clipboard after it has gone to
# the background: once it answers, a copy can no longer be overwritten by it.
reset_clipboard() {
  printf %s "$none" | xclip -selection clipboard -i >/dev/null 2>&1
  wait_for 30 "the clipboard's reset" clipboard_is "$none"
}
keys_are_taken() {
  xdotool key ctrl+a ctrl+c
  sleep 1
  clipboard_is_not "$1"
}

# Starts a program (its command line as arguments), presses Calculate with the keyboard,
# writes the six result texts, one a line, to $WORK/<name>.results and closes it; RC is its
# exit status. The focus starts in the T box; eleven Tabs reach the button, six Shift+Tabs
# go back to the first result box, and each Tab onto a box selects its text for Ctrl+C.
press_and_read() {
  local name=$1 pid
  shift
  "$@" >"$WORK/$name.press.out" 2>&1 &
  pid=$!
  output=$WORK/$name.press.out await_window "$pid"
  local box none="no box copied yet"
  # A window on screen may not take keys yet (Wine's, on a busy machine): the T box's text,
  # copied, says it does, and the copy is asked for again until it comes.
  reset_clipboard
  wait_for 60 "the window's answer to its first keys" keys_are_taken "$none"
  # The keys queue up behind the press, which the program handles before the next key.
  xdotool key --delay 50 $(printf 'Tab %.0s' $(seq 11)) space
  xdotool key --delay 50 $(printf 'shift+Tab %.0s' $(seq 6))
  : >"$WORK/$name.results"
  for box in $(seq 6); do
    reset_clipboard
    xdotool key ctrl+c
    wait_for 30 "the text of result box $box on the clipboard" clipboard_is_not "$none"
    printf '%s\n' "$COPIED" >>"$WORK/$name.results"
    xdotool key Tab
  done
  import -window root -depth 8 "$WORK/$name-press.png"
  if [ "$name" = linux ]; then
    # Alt+F4 is the window manager's key on X, and Xvfb runs none.
    kill "$pid"
  else
    close_window
  fi
  await_exit "$pid"
  tr -d '\r' <"$WORK/$name.results" >"$WORK/$name.results.tmp"
  mv "$WORK/$name.results.tmp" "$WORK/$name.results"
}

# Wine's reg, its output with line ends as on Linux. Now and then Wine cannot start it at
# all ("Application could not be started ... ShellExecuteEx failed"), as a prefix's server
# goes and the next comes; that is tried again, and only a real answer is returned.
reg() {
  local out try status
  for try in 1 2 3 4 5; do
    status=0
    out=$(wine reg "$@" 2>&1) || status=$?
    [[ $out == *"could not be started"* ]] || break
    sleep 1
  done
  printf '%s\n' "${out//$'\r'/}"
  return "$status"
}

# --- The installer's checks -----------------------------------------------------------
dir_win="C:\\Program Files\\$RMS_INSTALL_DIR"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$RMS_INSTALL_DIR"
menu_rel="ProgramData/Microsoft/Windows/Start Menu/Programs/$product"
shortcut_win="C:\\${menu_rel//\//\\}\\$product.lnk"
# Fails unless the prefix holds exactly one installation: the ZIP's files plus the
# uninstaller, the Start-menu entry, and the Uninstall entry of this version.
expect_installed() {
  local dir=$WINEPREFIX/drive_c/Program\ Files/$RMS_INSTALL_DIR
  [ -d "$dir" ] || fail "no $dir_win"
  diff <(cd "$portable" && find . -type f | sort) \
    <(cd "$dir" && find . -type f ! -name Uninstall.exe | sort) >&2 ||
    fail "$dir_win holds other files than the ZIP"
  [ -f "$dir/Uninstall.exe" ] || fail "no uninstaller in $dir_win"
  [ -f "$WINEPREFIX/drive_c/$menu_rel/$product.lnk" ] || fail "no Start-menu entry"
  [ "$(find "$WINEPREFIX/drive_c" -iname "*$product*.lnk" | wc -l)" = 1 ] ||
    fail "not exactly one shortcut to the program"
  [ "$(find "$WINEPREFIX/drive_c" -iname "$program.exe" | wc -l)" = 1 ] ||
    fail "not exactly one $program.exe"
  reg query "$uninstall_key" >"$WORK/$1.reg" || fail "no Uninstall entry: $(cat "$WORK/$1.reg")"
  grep -q "DisplayName *REG_SZ *$product\$" "$WORK/$1.reg" &&
    grep -q "DisplayVersion *REG_SZ *$version\$" "$WORK/$1.reg" &&
    grep -qF "UninstallString    REG_SZ    \"$dir_win\\Uninstall.exe\"" "$WORK/$1.reg" ||
    fail "the Uninstall entry is not as expected: $(cat "$WORK/$1.reg")"
  [ "$(reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' | grep -ciF "\\$RMS_INSTALL_DIR")" = 1 ] ||
    fail "not exactly one Uninstall entry"
  [ "$(reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | grep -c "DisplayName *REG_SZ *$product\$")" = 1 ] ||
    fail "not exactly one Uninstall entry named $product"
}
install_silently() {
  local rc=0
  timeout 120 wine "$setup" /S || rc=$?
  [ "$rc" = 0 ] || fail "the installer ended with status $rc"
  settle
}

if [ -n "$previous" ]; then
  step "the installer: an upgrade over the previous release"
  # Its folder and key may be spelt otherwise: this setup must still find that installation
  # and replace it, leaving one program, one entry and one shortcut.
  new_prefix previous
  rc=0
  timeout 120 wine "$previous" /S || rc=$?
  [ "$rc" = 0 ] || fail "the previous release's installer ended with status $rc"
  settle
  install_silently
  expect_installed previous
  (cd "$WINEPREFIX/drive_c/Program Files/$RMS_INSTALL_DIR" && exec wine "$program.exe") \
    >"$WORK/previous.out" 2>&1 &
  pid=$!
  await_window "$pid"
  close_window
  await_exit "$pid"
  [ "$RC" = 0 ] || fail "the program installed over the previous release ended with status $RC"
  end_wine
  step "done"
  echo "wine_session: passed"
  exit 0
fi

# --- The ZIP unpacked -----------------------------------------------------------------
step "the ZIP: one press in the Linux program and in the Windows program"
new_prefix zip
press_and_read linux env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$linux_program"
# As on Windows, where there is no DISPLAY: the program must not look for one.
press_and_read windows bash -c "cd '$portable' && exec wine cmd /c 'set DISPLAY=&& $program.exe'"
[ "$RC" = 0 ] || fail "the Windows program ended with status $RC when closed"
echo "result boxes after one press (Linux | Windows under Wine):"
paste -d'|' "$WORK/linux.results" "$WORK/windows.results"
[ "$(grep -c . "$WORK/linux.results")" = 6 ] || fail "the Linux program did not give six results"
cmp -s "$WORK/linux.results" "$WORK/windows.results" ||
  fail "the Windows program shows other results than the Linux program"

step "the ZIP: --batch"
# The same operating points through --batch in both programs, standard input and output
# redirected: the CSV must match byte for byte (line ends included), and so must the exit
# status (1: a row carries an error).
points=$WORK/points.csv
printf '%s\n' 't,T,Ip,Ia,Ib' '0.5,1,1,.5,1' '2,1,3,0,1' '1,0,1,1,1' \
  '136,648,503.8571290105287,-2.5e-3,1e30' >"$points"
linux_rc=0 windows_rc=0
"$linux_program" --batch "$points" >"$WORK/linux.csv" || linux_rc=$?
(cd "$portable" && exec env -u DISPLAY wine $program.exe --batch <"$points") \
  >"$WORK/windows.csv" || windows_rc=$?
echo "--batch: exit $linux_rc on Linux, $windows_rc on Windows under Wine"
if [ "$linux_rc" != 1 ] || [ "$windows_rc" != 1 ] || ! cmp "$WORK/linux.csv" "$WORK/windows.csv"; then
  diff "$WORK/linux.csv" "$WORK/windows.csv" >&2 || true
  fail "--batch gives other rows or another status on Windows"
fi

step "the ZIP: $program typed in cmd, and a file name outside Windows-1252"
# cmd finds korvath-rms.com before korvath-rms.exe, waits for it, and leaves its status in
# %ERRORLEVEL%. The arguments go to wine one by one, so that it quotes only the file names
# with a blank. German Linux is Windows-1252 for Wine, which has no Ω: the name reaches the
# program whole only through the UTF-16 command line.
twin=$WORK/twin
mkdir -p "$twin"
printf '0.5 1 1 .5 1\n' >"$twin/good.csv"
printf '0.5 1 1 .5 1\n1 0 1 1 1\n' >"$twin/bad.csv"
cp "$twin/good.csv" "$twin/Messung Ω.csv"
twin_path=$(winepath -w "$portable")
# Runs "korvath-rms ARGS" in cmd and the Linux program alike; both must give the same
# output and status $1, which cmd must print.
twin_case() {
  local want=$1 linux_rc=0 expected
  shift
  (cd "$twin" && LC_ALL=de_DE.UTF-8 WINEPATH=$twin_path env -u DISPLAY \
    timeout 60 wine cmd /c "$program" "$@" '&' echo status '%ERRORLEVEL%') \
    2>"$WORK/twin.err" | tr -d '\r' >"$WORK/twin.out" || true
  (cd "$twin" && LC_ALL=C.UTF-8 "$linux_program" "$@") >"$WORK/twin.linux" 2>/dev/null ||
    linux_rc=$?
  expected=$(cat "$WORK/twin.linux" && echo "status $want")
  if [ "$linux_rc" != "$want" ] || [ "$(cat "$WORK/twin.out")" != "$expected" ]; then
    diff <(echo "$expected") "$WORK/twin.out" >&2 || true
    cat "$WORK/twin.err" >&2
    fail "$program $* in cmd: not the Linux output with status $want"
  fi
  echo "cmd /c $program $*: $(grep -c , "$WORK/twin.out" || true) lines of CSV, status $want"
}
twin_case 0 --batch good.csv
twin_case 1 --batch bad.csv
twin_case 2 --bogus
twin_case 0 --batch 'Messung Ω.csv'
twin_case 2 --batch 'Fehlt Ω.csv'
grep -qF "$program: cannot read 'Fehlt Ω.csv': " "$WORK/twin.err" ||
  fail "the message does not name 'Fehlt Ω.csv': $(cat "$WORK/twin.err")"
end_wine

step "the installer: install with /S"
new_prefix setup
install_silently
expect_installed setup
echo "installed: $(cd "$WINEPREFIX/drive_c/Program Files/$RMS_INSTALL_DIR" && find . -type f | wc -l) files, Start-menu entry, Uninstall entry"

step "the installer: the Start-menu entry starts the program"
wine start "$shortcut_win"
await_window
import -window root -depth 8 "$WORK/installed.png"

step "the installer: an uninstall while the program runs"
# Run in place (_?=) so that its status comes back; a batch file keeps the command line
# as Windows would write it.
printf '"%s\\Uninstall.exe" /S _?=%s\r\nexit /b %%errorlevel%%\r\n' "$dir_win" "$dir_win" \
  >"$WINEPREFIX/drive_c/uninstall-in-place.bat"
rc=0
timeout 60 wine cmd /c 'C:\uninstall-in-place.bat' >"$WORK/uninstall-running.out" 2>&1 || rc=$?
echo "Uninstall.exe /S while the program runs: status $rc"
[ "$rc" = 2 ] || fail "an uninstall while the program runs ended with status $rc, not 2"
expect_installed running
close_window
settle

step "the installer: Uninstall.exe /S"
rc=0
timeout 60 wine "$dir_win\\Uninstall.exe" /S || rc=$?
[ "$rc" = 0 ] || fail "Uninstall.exe ended with status $rc"
# The uninstaller runs from a copy of itself in TEMP, which it starts and leaves.
settle
left=$(cd "$WINEPREFIX/drive_c" && find . -ipath "*$RMS_INSTALL_DIR*" -o -ipath "*$program*")
[ -z "$left" ] || fail "the uninstall left behind:"$'\n'"$left"
! reg query "$uninstall_key" >/dev/null || fail "the Uninstall entry is still there"
! reg query "HKLM\\Software\\$RMS_MAKER" >/dev/null || fail "HKLM\\Software\\$RMS_MAKER is still there"
echo "uninstalled: no file, shortcut or key left"
end_wine

step "the installer: an upgrade while the program runs"
new_prefix upgrade
install_silently
(cd "$WINEPREFIX/drive_c/Program Files/$RMS_INSTALL_DIR" && exec wine "$program.exe") \
  >"$WORK/upgrade-running.out" 2>&1 &
pid=$!
await_window "$pid"
# Installed files take the time of installation, so a replaced one shows in its time even
# where its bytes are the same.
installation() {
  (cd "$WINEPREFIX/drive_c" && find "Program Files/$RMS_INSTALL_DIR" "$menu_rel" \
    -printf '%p %s %T@\n' | sort)
  reg query "$uninstall_key"
}
installation >"$WORK/before-upgrade-running.txt"
# A silent setup cannot close it: it gives up at once, with status 2, no question waiting
# on screen, and the installed version as it was.
rc=0
started=$(date +%s)
timeout 60 wine "$setup" /S || rc=$?
echo "setup /S while the program runs: status $rc after $(($(date +%s) - started)) s"
[ "$rc" = 2 ] || fail "a silent setup over the running program ended with status $rc, not 2"
asking=$(xdotool search --name 'Setup|Uninstall' 2>/dev/null || true)
[ -z "$asking" ] || fail "a setup window is still open: $(xdotool getwindowname $asking)"
kill -0 "$pid" 2>/dev/null && xdotool search --name "^$product" >/dev/null ||
  fail "the program did not survive the setup"
# An interactive setup says so before its first page, with Retry and Cancel; Cancel ends it
# with status 2 as well.
wine "$setup" >"$WORK/setup-interactive.out" 2>&1 &
setup_pid=$!
wait_for 90 "the interactive setup's question" xdotool search --onlyvisible --name 'Setup$'
box=$(first_window 'Setup$')
import -window root -depth 8 "$WORK/setup-running.png"
timeout 10 xdotool windowfocus --sync "$box" || true
xdotool key Escape
await_exit "$setup_pid"
[ "$RC" = 2 ] || fail "Cancel in the interactive setup ended it with status $RC, not 2"
expect_installed upgrade-running
diff "$WORK/before-upgrade-running.txt" <(installation) >&2 ||
  fail "a setup over the running program changed the installation"
installed_rc=0
(cd "$WINEPREFIX/drive_c/Program Files/$RMS_INSTALL_DIR" && exec env -u DISPLAY wine "$program.com" \
  --batch <"$points") >"$WORK/upgrade-running.csv" || installed_rc=$?
[ "$installed_rc" = 1 ] && cmp "$WORK/linux.csv" "$WORK/upgrade-running.csv" ||
  fail "the installed program no longer works beside its running window"
close_window
await_exit "$pid"

step "the installer: an upgrade (installing twice)"
install_silently
expect_installed upgrade
pid=
(cd "$WINEPREFIX/drive_c/Program Files/$RMS_INSTALL_DIR" && exec wine "$program.exe") \
  >"$WORK/upgrade.out" 2>&1 &
pid=$!
await_window "$pid"
close_window
await_exit "$pid"
[ "$RC" = 0 ] || fail "the upgraded program ended with status $RC"
end_wine

step "done"
echo "wine_session: passed"
