#!/bin/bash
# The real program ends cleanly on SIGTERM (counters written), also inside a start-up box, and a pipe
# where the settings file or a data file should be is unreadable rather than a hang.
# Usage: xvfb_kill.sh BUILD_DIR. Skips (exit 0) when the program or the X tools are not there.
set -u
BUILD=$(cd "${1:?usage: xvfb_kill.sh BUILD_DIR}" && pwd) || exit 1
BIN=$BUILD/ozzel
if [ ! -x "$BIN" ]; then echo "skip: $BIN is not built"; exit 0; fi
for tool in xvfb-run timeout mkfifo; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
MEDIUM=$BUILD/test-medium

cat > "$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Runs inside the X server: start, wait for WANT in the trace, SIGTERM, expect exit 0 within 15 s.
set -u
BIN=$1 TRACE=$2 WANT=$3
"$BIN" 2>"$TRACE" &
PID=$!
fail() { echo "FAIL: $*"; kill -9 "$PID" 2>/dev/null; exit 1; }
for _ in $(seq 1 300); do
  grep -q "$WANT" "$TRACE" && break
  kill -0 "$PID" 2>/dev/null || fail "the program ended before '$WANT'"
  sleep 0.1
done
grep -q "$WANT" "$TRACE" || fail "no '$WANT' within 30 s"
sleep 0.5
kill -TERM "$PID"
for _ in $(seq 1 150); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$PID" 2>/dev/null && fail "still running 15 s after SIGTERM"
wait "$PID"
RC=$?
[ "$RC" -eq 0 ] || fail "exit code $RC"
EOF
chmod +x "$WORK/inner.sh"
export SDL_AUDIODRIVER=dummy OZZEL_TRACE=1
unset OZZEL_WINDOWED

run() {  # NAME WANT: one run inside its own X server
  echo "== $1"
  if ! timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$BIN" "$WORK/$1.txt" "$2"; then
    echo "--- trace and stderr (last lines) ---"; tail -n 15 "$WORK/$1.txt"; exit 1
  fi
  grep -q " close$" "$WORK/$1.txt" || { echo "FAIL: no close in the trace"; tail -n 15 "$WORK/$1.txt"; exit 1; }
}

# The settings file is a pipe: nothing is read from it, the data path is asked for, and SIGTERM
# answers the box and ends the program.
mkfifo "$WORK/registry.reg"
OZZEL_REGISTRY=$WORK/registry.reg run fifo-settings " msgbox "
grep -q "registry.reg: is not a regular file" "$WORK/fifo-settings.txt" || { echo "FAIL: the pipe is not named on stderr"; exit 1; }

if [ ! -d "$MEDIUM" ]; then echo "ok (no test medium: the medium runs are skipped)"; exit 0; fi
# The medium with pipes for the intro's picture and speech and for the music; SIGTERM in the intro.
cp -rs "$MEDIUM" "$WORK/cd" || exit 1
for f in obrazky/oz_uvod.bmp zvuky/oz_uvod.wav hudba/ozzel.mid; do
  target=$(find "$WORK/cd" -ipath "*/bm4/_ozzel/$f" | head -1)
  [ -n "$target" ] || { echo "FAIL: $f not on the test medium"; exit 1; }
  rm "$target" && mkfifo "$target" || exit 1
done
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$WORK/cd" > "$WORK/medium.reg"
# The music's box opens while the window is made, the intro's box over it: the kill answers both.
OZZEL_REGISTRY=$WORK/medium.reg run fifo-medium " wav open-fail "
grep -qi '"Ozzel_starty"=dword:00000001' "$WORK/medium.reg" || { echo "FAIL: the counter was not written"; cat "$WORK/medium.reg"; exit 1; }
# The whole medium: the kill comes while the intro waits for its speech to end.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" > "$WORK/whole.reg"
OZZEL_REGISTRY=$WORK/whole.reg run intro " wav play$"
grep -qi '"Ozzel_starty"=dword:00000001' "$WORK/whole.reg" || { echo "FAIL: the counter was not written"; cat "$WORK/whole.reg"; exit 1; }
echo "ok"
