# Shared by the end-to-end tests (sourced): starting a program in a virtual X server, finding
# its windows, sending keys, and counting checks. The caller sets `launch` (an array: the
# command that starts the program) before calling run_dialog.

# Re-runs the calling script inside xvfb-run, once.
in_virtual_x() {
  if [ -z "${KOV_E2E_IN_X:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)"; exit 1; }
    # -noreset: the server would otherwise reset whenever its last client left, refusing the
    # next program that connects meanwhile.
    KOV_E2E_IN_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
  fi
}

# Wine's desktop, started by the test fixture with no display, cannot show windows here: starts
# Wine's services again on this display (in the prefix of $WINEPREFIX).
restart_wine_here() {
  wineserver -k 2>/dev/null || true
  wineserver -p </dev/null >/dev/null 2>&1  # its output would keep the test runner waiting
  wineboot </dev/null >/dev/null 2>&1
}

failures=0
passed=0

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

# start_dialog FOLDER: starts the program there and waits for its dialog; sets pid and window.
start_dialog() {
  (cd "$1" && exec "${launch[@]}" 2>"${TMPDIR:-/tmp}/kov-e2e-stderr.$$") &
  pid=$!
  window=$(find_window "^Configuration for game Kov")
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
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 0.5
}

# wait_for_end: the program started last must end by itself, with status 0.
wait_for_end() {
  timeout 30 tail --pid="$pid" -f /dev/null || { kill "$pid"; echo "the dialog did not close"; return 1; }
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "exit status $status"; return 1; }
}

# run_dialog FOLDER KEY...: starts the dialog in FOLDER, sends the keys, and waits for the end.
run_dialog() {
  local folder=$1
  shift
  start_dialog "$folder" || return 1
  xdotool key --delay 150 "$@"
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
