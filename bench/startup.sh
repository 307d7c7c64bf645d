#!/bin/bash
# Start-up and idle costs of the real program in a virtual X server: exec to first presented frame,
# CPU while idle in the menu and while a question waits, and peak memory. Reports; never fails on time.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (needs xvfb-run and xdotool; SDL_AUDIODRIVER=dummy)
set -u
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-5}
BIN=$BUILD/ozzel
[ -x "$BIN" ] || { echo "startup.sh: $BIN is not built" >&2; exit 2; }
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "startup.sh: $tool is not installed" >&2; exit 2; }
done

MEDIUM=$BUILD/test-medium
if [ -x "$BUILD/tools/datagen/datagen" ]; then
  "$BUILD/tools/datagen/datagen" --quiet "$MEDIUM" >/dev/null 2>&1 || true
fi
[ -d "$MEDIUM/bm4/_ozzel" ] || { echo "startup.sh: no demo medium at $MEDIUM (build datagen)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$WORK/registry.reg"

cat >"$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Runs inside the X server.
set -u
BIN=$1 RUNS=$2 WORK=$3

# CPU ticks (user + system) of a process.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The same for the UI thread alone (the music is synthesised on the audio thread).
ui_ticks() { awk '{ print $14 + $15 }' "/proc/$1/task/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
wait_for() {  # FILE PATTERN SECONDS
  for _ in $(seq 1 $(( $3 * 20 ))); do grep -q "$2" "$1" && return 0; sleep 0.05; done
  return 1
}
stop() {
  kill -TERM "$1" 2>/dev/null
  for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# 1. Exec to first presented frame, RUNS times.
for r in $(seq 1 "$RUNS"); do
  OZZEL_REPORT_FIRST_FRAME=1 bash -c 'export OZZEL_START_NS=$(date +%s%N); exec "$0"' "$BIN" 2>"$WORK/ff$r.txt" &
  pid=$!
  wait_for "$WORK/ff$r.txt" "^first-frame" 20 || echo "run $r: no first frame" >&2
  grep -m1 "^first-frame" "$WORK/ff$r.txt" | awk '{ print $2 }' >>"$WORK/first_frames"
  stop $pid
done

# 2. One long run: the menu after the introduction is skipped, then a question waiting.
OZZEL_TRACE=1 "$BIN" 2>"$WORK/trace.txt" &
pid=$!
wait_for "$WORK/trace.txt" " show form_ozzel\| wav play" 20
sleep 1.5
xdotool key Escape
wait_for "$WORK/trace.txt" "timer uvodni_blikajici_ikony on" 30 || echo "the menu did not come" >&2
sleep 3  # the music has started (2 s after the intro)
t0=$(ticks $pid); u0=$(ui_ticks $pid); m0=$(now_ms)
sleep 10
t1=$(ticks $pid); u1=$(ui_ticks $pid); m1=$(now_ms)
echo "menu $(( t1 - t0 )) $(( u1 - u0 )) $(( m1 - m0 )) $hz" >>"$WORK/idle"

# Scene button 1 at client (72, 446); the main window is centred on the screen.
read -r sw sh < <(xdotool getdisplaygeometry)
xdotool mousemove $(( (sw - 640) / 2 + 72 )) $(( (sh - 480) / 2 + 446 )) click 1
wait_for "$WORK/trace.txt" " show podklad" 10 || echo "the scene did not come" >&2
# The question is spoken; then the program waits for the answer.
for _ in $(seq 1 200); do
  tail -n 3 "$WORK/trace.txt" | grep -q " wav end" && break
  sleep 0.1
done
sleep 1
t0=$(ticks $pid); u0=$(ui_ticks $pid); m0=$(now_ms)
sleep 10
t1=$(ticks $pid); u1=$(ui_ticks $pid); m1=$(now_ms)
echo "question $(( t1 - t0 )) $(( u1 - u0 )) $(( m1 - m0 )) $hz" >>"$WORK/idle"
grep VmHWM "/proc/$pid/status" | awk '{ print $2 }' >"$WORK/hwm"
stop $pid
EOF
chmod +x "$WORK/inner.sh"

export SDL_AUDIODRIVER=dummy OZZEL_REGISTRY=$WORK/registry.reg
unset OZZEL_WINDOWED
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$BIN" "$RUNS" "$WORK"

echo "| measure | value |"
echo "|---|---|"
if [ -s "$WORK/first_frames" ]; then
  sort -n "$WORK/first_frames" | awk '{ v[NR] = $1 } END {
    printf "| exec to first frame, median of %d (min-max) | %.0f ms (%.0f-%.0f) |\n", NR, v[int((NR + 1) / 2)], v[1], v[NR] }'
fi
if [ -s "$WORK/idle" ]; then
  awk '{ printf "| CPU idle, %s, music playing (%.0f s) | %.1f %% of a core (UI thread %.1f %%) |\n",
         ($1 == "menu" ? "menu" : "question waiting"), $4 / 1000, 100 * ($2 / $5) / ($4 / 1000),
         100 * ($3 / $5) / ($4 / 1000) }' "$WORK/idle"
fi
[ -s "$WORK/hwm" ] && awk '{ printf "| peak memory (VmHWM) | %.1f MB |\n", $1 / 1024 }' "$WORK/hwm"
exit 0
