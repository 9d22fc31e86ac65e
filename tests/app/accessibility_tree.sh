#!/usr/bin/env bash
# Runs kovconfig in a virtual X server on a session bus of its own with the accessibility bus,
# and reads its accessibility tree as a screen reader would (accessibility_tree.py), in English
# and in Polish.
# Usage: accessibility_tree.sh KOVCONFIG
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
for tool in xvfb-run dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "$tool is missing"; exit 1; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "python3-pyatspi is missing"; exit 1; }

if [ -z "${KOV_A11Y_IN_SESSION:-}" ]; then
  KOV_A11Y_IN_SESSION=1 exec xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "$0" "$@"
fi

unset QT_QPA_PLATFORM
work=$(mktemp -d)
pid=
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
# The bus that assistive technology listens on, started as a desktop session would.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 0.5
status=0
for lang in C.UTF-8 pl_PL.UTF-8; do
  (cd "$work" && LANGUAGE= LC_ALL= LC_MESSAGES= LANG=$lang QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$program") &
  pid=$!
  /usr/bin/python3 "$here/accessibility_tree.py" "${lang%%[_.]*}" || status=1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
done
exit $status
