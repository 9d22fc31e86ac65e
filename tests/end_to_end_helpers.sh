# Shared by the end-to-end tests (sourced): starting a program in a virtual X server, finding
# its windows, sending keys only to the window they are meant for once it has the keyboard, and
# counting checks. The caller sets `launch` (an array: the command that starts the program)
# before calling run_dialog, and `title` when the dialog's title is not the English one.

# Re-runs the calling script inside xvfb-run, once.
in_virtual_x() {
  if [ -z "${KOV_E2E_IN_X:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)"; exit 1; }
    # -noreset: the server would otherwise reset whenever its last client left, refusing the
    # next program that connects meanwhile.
    KOV_E2E_IN_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
  fi
}

# Under Wine, the program a test runs: kovconfig.exe as the download holds it, or, when the test
# runs as Windows XP would (KOV_AS_WINDOWS_XP=1, the "_as_xp" tests), the tests' build of it with
# every function newer than XP missing (the shipped program reads no switch for that).
# Usage: wine_program DOWNLOADED_EXE AS_XP_EXE
wine_program() { if [ "${KOV_AS_WINDOWS_XP:-0}" = 1 ]; then realpath "$2"; else realpath "$1"; fi; }

# Under Wine: the virtual X server of the test run, which Wine's desktop was started on (by the
# "wine" fixture, tests/win32/wine_prefix.sh). The tests that show windows there take turns.
on_wine_display() {
  local number
  number=$(cat "$WINEPREFIX/.kov-display" 2>/dev/null) || { echo "no display: the wine fixture did not run"; exit 1; }
  export DISPLAY=":$number"
}

# A command that fails unguarded ends the script: it says which, so that no test fails unexplained.
set -o errtrace
trap 'echo "stopped at line $LINENO of $(basename "$0"): $BASH_COMMAND (status $?)"' ERR

failures=0
passed=0
# The dialog's title, a pattern, in the language the program is started in.
title="^Configuration for game Kov"
# The locale variables of a program started in English whatever the caller's, or in Polish.
in_english=(env LANGUAGE= LC_ALL= LC_MESSAGES= LANG=C.UTF-8)
in_polish=(env LANGUAGE= LC_ALL= LC_MESSAGES= LANG=pl_PL.UTF-8)

# find_window PATTERN: a visible window whose name matches, waiting up to 30 s. Polled: a
# search can fail outright while a window is still being set up.
find_window() {
  local window=""
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  echo "$window"
}

# The dialog's own windows: the dialog, and a message or question over it (both toolkits give
# them the dialog's title).
dialog_windows() { xdotool search --onlyvisible --name "$title" 2>/dev/null || true; }
# The top-level window that has the keyboard.
focused() { xdotool getwindowfocus 2>/dev/null || true; }

# await WHERE: up to 30 s for the window that keys are meant for to be shown with the keyboard:
# "dialog" is the dialog alone (or, at opening, a question or message before it, alone); "over"
# a message or question over the dialog; a pattern, a window of that name. A window shown
# without the keyboard is given it, as a window manager would (none runs here, and when a
# question closes the keyboard goes to no window). Says which never came.
await() {
  local where=$1 shown count focus meant
  for _ in $(seq 150); do
    shown=$(dialog_windows)
    count=$(printf '%s\n' "$shown" | grep -c . || true)
    focus=$(focused)
    meant=""
    case $where in
      dialog) [ "$count" -ne 1 ] || meant=$shown ;;
      over) [ "$count" -lt 2 ] || meant=$(printf '%s\n' "$shown" | grep -vx "$window" | tail -n 1 || true) ;;
      *) meant=$(xdotool search --onlyvisible --name "$where" 2>/dev/null | tail -n 1 || true) ;;
    esac
    [ -n "$meant" ] && [ "$focus" = "$meant" ] && return 0
    [ -n "$meant" ] && xdotool windowfocus "$meant" 2>/dev/null
    sleep 0.2
  done
  echo "the $where never came with the keyboard ($count of the dialog's windows shown; the keyboard at ${focus:-none})"
  return 1
}

# press WHERE KEY...: the keys, once WHERE (see await) has the keyboard.
press() {
  local where=$1
  shift
  await "$where" && xdotool key --delay 100 "$@"
}

# start_dialog FOLDER: starts the program there and waits for its dialog; sets pid and window.
start_dialog() {
  (cd "$1" && exec "${launch[@]}" 2>"${TMPDIR:-/tmp}/kov-e2e-stderr.$$") &
  pid=$!
  window=$(find_window "$title")
  if [ -z "$window" ]; then
    local state=running status=0
    kill -0 "$pid" 2>/dev/null || { state=gone; wait "$pid" || status=$?; }
    echo "no dialog; the program is $state (status $status); it said:"
    sed 's/^/  /' "${TMPDIR:-/tmp}/kov-e2e-stderr.$$"
    echo "windows:"
    xdotool search --name . getwindowname %@ 2>/dev/null | sed 's/^/  /' || true
    kill "$pid" 2>/dev/null
    return 1
  fi
  # Without a window manager nothing gives the new window the keyboard but this.
  xdotool windowfocus "$window" 2>/dev/null || true
}

# abandon: the program started last is ended, so that its windows stand in no later test's way.
abandon() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 1
}

# wait_for_end: the program started last must end by itself, with status 0.
wait_for_end() {
  timeout 30 tail --pid="$pid" -f /dev/null ||
    { echo "the dialog did not close ($(dialog_windows | grep -c . || true) of its windows shown)"; abandon; return 1; }
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "exit status $status"; return 1; }
}

# run_dialog FOLDER STEP...: starts the dialog in FOLDER, goes through the steps, and waits for
# the end. A step is keys (blank-separated) for the dialog alone, or "over:" and keys for a
# message or question over it; each is sent once that window has the keyboard.
run_dialog() {
  local folder=$1 step
  shift
  start_dialog "$folder" || return 1
  for step in "$@"; do
    case $step in
      over:*) press over ${step#over:} || { abandon; return 1; } ;;
      *) press dialog $step || { abandon; return 1; } ;;
    esac
  done
  wait_for_end
}

# check COMMAND...: one check of the test named by $name.
check() {
  if "$@"; then echo "ok: $name"; passed=$((passed + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

finish() {
  echo "$passed passed, $failures failed"
  [ "$failures" -eq 0 ]
}
