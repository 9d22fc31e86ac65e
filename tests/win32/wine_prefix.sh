#!/usr/bin/env bash
# The Wine prefix of a test run, in $WINEPREFIX. setup: a new prefix with Wine's services running
# (without them started first, the first test waits on them for ever), Wine's fonts where Wine
# looks for them, and windows that Wine frames itself (no window manager runs in the tests).
# cleanup: the services stopped and the prefix removed.
set -euo pipefail
: "${WINEPREFIX:?}"
case "${1:-}" in
  setup)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1  # its output would keep the test runner waiting
    DISPLAY= wineboot -i </dev/null >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    echo "Wine prefix ready: $WINEPREFIX"
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    ;;
  *)
    echo "usage: $0 setup|cleanup" >&2
    exit 2
    ;;
esac
