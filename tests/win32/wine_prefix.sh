#!/usr/bin/env bash
# The Wine prefix of a test run, in $WINEPREFIX, and the one virtual X server its programs show
# their windows on. setup: a new prefix, a virtual X server (its display number in
# $WINEPREFIX/.kov-display), and Wine's services started once on that display (without them
# started first, the first test waits on them for ever), Wine's fonts where Wine looks for them,
# and windows that Wine frames itself (no window manager runs in the tests). No test stops this
# server: the tests share it. cleanup: Wine's services and the X server stopped, the prefix removed.
set -euo pipefail
: "${WINEPREFIX:?}"
display_pid="$WINEPREFIX.display-pid"  # beside the prefix, which setup removes first
case "${1:-}" in
  setup)
    # What an earlier run that did not end may have left.
    wineserver -k 2>/dev/null || true
    [ -f "$display_pid" ] && kill "$(cat "$display_pid")" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    command -v Xvfb >/dev/null || { echo "Xvfb is missing (package xvfb)"; exit 1; }
    # -displayfd: the server picks a free display and names it once it takes connections;
    # -noreset: it does not reset when its last client leaves. Its output would keep the test
    # runner waiting.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset 3>"$WINEPREFIX/.kov-display" </dev/null >/dev/null 2>&1 &
    echo $! > "$display_pid"
    for _ in $(seq 100); do [ -s "$WINEPREFIX/.kov-display" ] && break; sleep 0.1; done
    [ -s "$WINEPREFIX/.kov-display" ] || { echo "the virtual X server did not start"; exit 1; }
    export DISPLAY=":$(cat "$WINEPREFIX/.kov-display")"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    echo "Wine prefix ready: $WINEPREFIX, on display $DISPLAY"
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    [ -f "$display_pid" ] && kill "$(cat "$display_pid")" 2>/dev/null || true
    rm -rf "$WINEPREFIX" "$display_pid"
    ;;
  *)
    echo "usage: $0 setup|cleanup" >&2
    exit 2
    ;;
esac
