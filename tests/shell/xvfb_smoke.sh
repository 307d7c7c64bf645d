#!/bin/bash
# Smoke test of the real program in a virtual X server: it opens its window, draws, and ends when asked.
# Usage: xvfb_smoke.sh BUILD_DIR. Skips (exit 0) when the program or the X tools are not there.
set -u
BUILD=$(cd "${1:?usage: xvfb_smoke.sh BUILD_DIR}" && pwd) || exit 1
BIN=$BUILD/ozzel
if [ ! -x "$BIN" ]; then echo "skip: $BIN is not built"; exit 0; fi
for tool in xvfb-run xdotool import convert; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
OUT=${OZZEL_SMOKE_OUT:-$BUILD/xvfb_smoke}
mkdir -p "$OUT"

# A registry of our own; with the cached demo medium the program starts straight into its intro,
# without it the start-up asks for the data directory (which is answered with Esc below).
REG=$WORK/registry.reg
MEDIUM=$BUILD/test-medium
{
  echo "REGEDIT4"
  echo
  if [ -d "$MEDIUM" ]; then
    echo '[HKEY_CURRENT_USER\Software\Orvel Team\BM4\Odklon]'
    echo "\"kde_je_BM4\"=\"$MEDIUM\""
  fi
} > "$REG"

cat > "$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Runs inside the X server: start, find the window, look at it, end it.
set -u
BIN=$1 OUT=$2 TRACE=$3 HAVE_MEDIUM=$4
fail() { echo "FAIL: $*"; kill -9 "$PID" 2>/dev/null; exit 1; }
"$BIN" 2>"$TRACE" &
PID=$!

WIN=""
for _ in $(seq 1 100); do
  WIN=$(xdotool search --pid "$PID" 2>/dev/null | head -1)
  [ -n "$WIN" ] && break
  kill -0 "$PID" 2>/dev/null || fail "the program ended before opening a window (exit $(wait $PID; echo $?))"
  sleep 0.1
done
[ -n "$WIN" ] || fail "no window within 10 s"
echo "window $WIN: $(xdotool getwindowname "$WIN") $(xdotool getwindowgeometry "$WIN" | tr '\n' ' ')"

# Wait for the main window, or for a box of the start-up when there is no medium (SIGTERM answers it).
for _ in $(seq 1 100); do
  grep -q " show form_ozzel\| msgbox \| input " "$TRACE" && break
  kill -0 "$PID" 2>/dev/null || fail "the program ended during start-up"
  sleep 0.1
done
sleep 1.5
import -window root "$OUT/screen.png" || fail "no screenshot"
COLOURS=$(convert "$OUT/screen.png" -format %k info:)
echo "screen: $(identify -format '%wx%h' "$OUT/screen.png"), $COLOURS colours"
[ "$COLOURS" -gt 1 ] || fail "the screen is one flat colour"

if [ "$HAVE_MEDIUM" = 1 ]; then
  # The child's way out: the exit button, once the menu shows it (the quit sequence then ends the program).
  for _ in $(seq 1 600); do
    grep -q " show BTN_Konec$" "$TRACE" && break
    kill -0 "$PID" 2>/dev/null || fail "the program ended before its menu"
    sleep 0.1
  done
  grep -q " show BTN_Konec$" "$TRACE" || fail "no exit button within 60 s"
  read -r SW SH < <(xdotool getdisplaygeometry)
  X=$(( (SW - 640) / 2 + 555 + 32 )); Y=$(( (SH - 480) / 2 + 418 + 30 ))
  xdotool mousemove "$X" "$Y"
  sleep 0.5
  xdotool click 1
else
  # The window system asks the program to end; it closes its main window and exits.
  kill -TERM "$PID"
fi
for _ in $(seq 1 150); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$PID" 2>/dev/null; then fail "still running 15 s after being asked to end"; fi
wait "$PID"
RC=$?
echo "exit code $RC"
[ "$RC" -eq 0 ] || fail "exit code $RC"
exit 0
EOF
chmod +x "$WORK/inner.sh"

export SDL_AUDIODRIVER=dummy OZZEL_REGISTRY=$REG OZZEL_TRACE=1
unset OZZEL_WINDOWED
export OZZEL_SCALE=1  # pixel for pixel; filling the screen has its own test
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$BIN" "$OUT" "$OUT/trace.txt" "$([ -d "$MEDIUM" ] && echo 1 || echo 0)"
RC=$?
echo "--- trace (last lines) ---"
tail -n 15 "$OUT/trace.txt" 2>/dev/null
if [ $RC -ne 0 ]; then echo "xvfb smoke test failed ($RC)"; exit 1; fi
grep -q " close$" "$OUT/trace.txt" || { echo "FAIL: no close in the trace"; exit 1; }
if [ -d "$MEDIUM" ]; then
  grep -q " show form_ozzel$" "$OUT/trace.txt" || { echo "FAIL: the main window never showed"; exit 1; }
  if grep -q " msgbox " "$OUT/trace.txt"; then echo "FAIL: a message box with the demo medium"; exit 1; fi
fi
echo "ok"
