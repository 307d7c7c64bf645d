#!/bin/bash
# Start-up and idle costs of the real program in a virtual X server of 1024 x 768, 1366 x 768, 1920 x 1080
# and 3840 x 2160 (by default filled: scales 1.6, 1.6, 2.25 and 4.5; OZZEL_SCALE passes on): exec to first
# presented frame, CPU while idle in the menu and while a question waits, and peak memory. Reports; never
# fails on time.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (needs xvfb-run and xdotool; SDL_AUDIODRIVER=dummy;
# OZZEL_BENCH_SIZES lists other screens)
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
BIN=$1 MODE=$2 WORK=$3

# CPU ticks (user + system) of a process.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The same for the UI thread alone (the song plays on the audio thread).
ui_ticks() { awk '{ print $14 + $15 }' "/proc/$1/task/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
# Appends "LABEL WHOLE UI ELAPSED_MS UNITS_PER_S" for 10 s of process PID: perf's task clock (ms) when perf
# can watch the process, else the kernel's ticks, whose 10 ms steps make 0.1 % the resolution.
idle_10s() {  # LABEL PID
  local m0 m1
  if perf stat --per-thread -x, -e task-clock -p "$2" -o "$WORK/perf.txt" sleep 10 2>/dev/null &&
      grep -q "^ozzel-$2,[0-9]" "$WORK/perf.txt"; then
    awk -F, -v label="$1" -v ui="ozzel-$2" '$2 ~ /^[0-9.]+$/ { all += $2; if ($1 == ui) u = $2 }
      END { print label, all, u, 10000, 1000 }' "$WORK/perf.txt" >>"$WORK/idle"
  else
    t0=$(ticks "$2"); u0=$(ui_ticks "$2"); m0=$(now_ms)
    sleep 10
    t1=$(ticks "$2"); u1=$(ui_ticks "$2"); m1=$(now_ms)
    echo "$1 $(( t1 - t0 )) $(( u1 - u0 )) $(( m1 - m0 )) $hz" >>"$WORK/idle"
  fi
}
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

# 1. Exec to first presented frame, and the process's own CPU time until then.
if [ "$MODE" = first ]; then
  OZZEL_REPORT_FIRST_FRAME=1 bash -c 'export OZZEL_START_NS=$(date +%s%N); exec "$0"' "$BIN" 2>"$WORK/ff.txt" &
  pid=$!
  wait_for "$WORK/ff.txt" "^first-frame" 20 || echo "$(xdotool getdisplaygeometry): no first frame" >&2
  grep -m1 "^first-frame" "$WORK/ff.txt" | awk '{ print $2 }' >>"$WORK/first_frames"
  grep -m1 "^first-frame" "$WORK/ff.txt" | awk '{ print $4 }' >>"$WORK/first_frame_cpu"
  stop $pid
  exit 0
fi

# 2. One long run: the menu after the introduction is skipped, then a question waiting.
OZZEL_TRACE=1 "$BIN" 2>"$WORK/trace.txt" &
pid=$!
wait_for "$WORK/trace.txt" " show form_ozzel\| wav play" 20
sleep 1.5
xdotool key Escape
wait_for "$WORK/trace.txt" "timer uvodni_blikajici_ikony on" 30 || echo "the menu did not come" >&2
sleep 3  # the music has started (2 s after the intro)
idle_10s menu $pid

# Scene button 1 at client (72, 446) of the main window. The scale is the one whose logical screen
# centres the window where the trace has it: the filling one or whole blocks.
read -r sw sh < <(xdotool getdisplaygeometry)
read -r ox oy < <(grep " bounds form_ozzel " "$WORK/trace.txt" | tail -1 | awk '{ print $4, $5 }')
read -r x y < <(awk -v sw="$sw" -v sh="$sh" -v ox="$ox" -v oy="$oy" 'BEGIN {
  k = int(sw / 640 < sh / 480 ? sw / 640 : sh / 480); if (k < 1) k = 1
  f = sw / 640 < sh / 480 ? sw / 640 : sh / 480; if (f < 1) f = 1
  s = int((int(sw / f + 0.999999) - 640) / 2) == ox ? f : k
  print int((ox + 72.5) * s), int((oy + 446.5) * s) }')
xdotool mousemove "$x" "$y" click 1
wait_for "$WORK/trace.txt" " show podklad" 10 || echo "the scene did not come" >&2
# The question is spoken; then the program waits for the answer.
for _ in $(seq 1 200); do
  tail -n 3 "$WORK/trace.txt" | grep -q " wav end" && break
  sleep 0.1
done
sleep 1
idle_10s question $pid
grep VmHWM "/proc/$pid/status" | awk '{ print $2 }' >"$WORK/hwm"
stop $pid
EOF
chmod +x "$WORK/inner.sh"

export SDL_AUDIODRIVER=dummy OZZEL_REGISTRY=$WORK/registry.reg
unset OZZEL_WINDOWED
SIZES=${OZZEL_BENCH_SIZES:-1024x768 1366x768 1920x1080 3840x2160}
# The sizes take turns, so that the load of a shared machine falls on each alike.
for r in $(seq 1 "$RUNS"); do
  echo "  first frame, run $r of $RUNS: $SIZES" >&2
  for size in $SIZES; do
    mkdir -p "$WORK/$size"
    timeout 60 xvfb-run -a -s "-screen 0 ${size}x24" "$WORK/inner.sh" "$BIN" first "$WORK/$size"
  done
done
for size in $SIZES; do
  echo "  $size: 10 s idle in the menu, 10 s at a question" >&2
  timeout 300 xvfb-run -a -s "-screen 0 ${size}x24" "$WORK/inner.sh" "$BIN" idle "$WORK/$size"
done

for f in "$WORK"/*/first_frame*; do sort -n "$f" >"$f.sorted"; done
for f in "$WORK"/*/idle; do
  grep "^menu " "$f" >"$(dirname "$f")/idle_menu"
  grep "^question " "$f" >"$(dirname "$f")/idle_question"
done
row() {  # LABEL FILE AWK-PROGRAM: one cell per screen size
  local line="| $1 |" size
  for size in $SIZES; do
    if [ -s "$WORK/$size/$2" ]; then line+=" $(awk "$3" "$WORK/$size/$2") |"; else line+=" - |"; fi
  done
  echo "$line"
}
idle='{ printf "%.2f %% (UI thread %.2f %%)", 100 * ($2 / $5) / ($4 / 1000), 100 * ($3 / $5) / ($4 / 1000) }'
echo "| measure | $(echo $SIZES | sed 's/ / | /g') |"
echo "|---|$(for _ in $SIZES; do printf -- '---|'; done)"
row "exec to first frame, median of $RUNS (min-max)" first_frames.sorted \
  '{ v[NR] = $1 } END { printf "%.0f ms (%.0f-%.0f)", v[int((NR + 1) / 2)], v[1], v[NR] }'
row "the process's CPU until its first frame, median" first_frame_cpu.sorted '{ v[NR] = $1 } END { printf "%.0f ms", v[int((NR + 1) / 2)] }'
row "CPU idle in the menu, music playing (10 s, of a core)" idle_menu "$idle"
row "CPU idle at a question, music playing (10 s, of a core)" idle_question "$idle"
row "peak memory (VmHWM)" hwm '{ printf "%.1f MB", $1 / 1024 }'
exit 0
