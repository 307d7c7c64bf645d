#!/bin/bash
# Runs a Windows program under wine inside a virtual X server of its own: in_xvfb.sh PREFIX PROGRAM ARGS...
# The prefix's wineserver is restarted inside it (wine's desktop takes the display its server starts with).
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
if [ "${OZZEL_IN_XVFB:-}" = 1 ]; then
  prefix=$(realpath -m "$1")
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  WINEPREFIX=$prefix wineserver -w 2>/dev/null
  "$ROOT/scripts/wine-run" "$@"
  rc=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  exit $rc
fi
[ $# -ge 2 ] || { echo "usage: in_xvfb.sh PREFIX PROGRAM [ARGS...]" >&2; exit 2; }
OZZEL_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
