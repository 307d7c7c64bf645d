#!/bin/bash
# How often the real program wakes when nothing happens, beside a bare SDL window with the audio device
# open (bench/bare_window): 10 s in the menu (music, blinking icons) and 10 s in a scene waiting for a
# tap, once as built and once with OZZEL_WAKE_EVERY_TICK=1 (every timer tick wakes it, as before idle
# timers slept). A wake is a context switch of any of the process's threads; the UI thread's own are
# given apart. Reports; never fails on time.
# Usage: bench/idle_wakes.sh [BUILD_DIR]   (needs xvfb-run and xdotool; SDL_AUDIODRIVER=dummy by default)
set -u
BUILD=$(cd "${1:-build}" && pwd)
for f in ozzel bench/bare_window; do
  [ -x "$BUILD/$f" ] || { echo "idle_wakes.sh: $BUILD/$f is not built" >&2; exit 2; }
done
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "idle_wakes.sh: $tool is not installed" >&2; exit 2; }
done
MEDIUM=$BUILD/test-medium
if [ -x "$BUILD/tools/datagen/datagen" ]; then
  "$BUILD/tools/datagen/datagen" --quiet "$MEDIUM" >/dev/null 2>&1 || true
fi
[ -d "$MEDIUM/bm4/_ozzel" ] || { echo "idle_wakes.sh: no demo medium at $MEDIUM (build datagen)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$WORK/registry.reg"

cat >"$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Runs inside the X server: prints "LABEL ALL_WAKES UI_WAKES SECONDS" lines.
set -u
BUILD=$1 WHAT=$2 WORK=$3
# Context switches of every thread of PID, or of its first (UI) thread alone.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'; }
ui_switches() { awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' /proc/"$1"/task/"$1"/status 2>/dev/null; }
count_10s() {  # LABEL PID
  local a0 u0 a1 u1
  a0=$(switches "$2"); u0=$(ui_switches "$2")
  sleep 10
  a1=$(switches "$2"); u1=$(ui_switches "$2")
  echo "$1 $(( a1 - a0 )) $(( u1 - u0 )) 10"
}
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
if [ "$WHAT" = bare ]; then
  "$BUILD/bench/bare_window" &
  pid=$!
  sleep 3
  count_10s bare $pid
  stop $pid
  exit 0
fi
OZZEL_TRACE=1 "$BUILD/ozzel" 2>"$WORK/trace.txt" &
pid=$!
wait_for "$WORK/trace.txt" " show form_ozzel\| wav play" 20
sleep 1.5
xdotool key Escape
wait_for "$WORK/trace.txt" "timer uvodni_blikajici_ikony on" 30 || echo "the menu did not come" >&2
# The pointer off the game: resting on the examiner it would play his animation.
xdotool mousemove 2 2
sleep 3
count_10s "menu$WHAT" $pid
read -r sw sh < <(xdotool getdisplaygeometry)
read -r ox oy < <(grep " bounds form_ozzel " "$WORK/trace.txt" | tail -1 | awk '{ print $4, $5 }')
read -r x y < <(awk -v sw="$sw" -v sh="$sh" -v ox="$ox" -v oy="$oy" 'BEGIN {
  k = int(sw / 640 < sh / 480 ? sw / 640 : sh / 480); if (k < 1) k = 1
  f = sw / 640 < sh / 480 ? sw / 640 : sh / 480; if (f < 1) f = 1
  s = int((int(sw / f + 0.999999) - 640) / 2) == ox ? f : k
  print int((ox + 72.5) * s), int((oy + 446.5) * s) }')
xdotool mousemove "$x" "$y" click 1
wait_for "$WORK/trace.txt" " show podklad" 10 || echo "the scene did not come" >&2
for _ in $(seq 1 200); do
  tail -n 3 "$WORK/trace.txt" | grep -q " wav end" && break
  sleep 0.1
done
sleep 2
count_10s "scene$WHAT" $pid
stop $pid
EOF
chmod +x "$WORK/inner.sh"

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} OZZEL_REGISTRY=$WORK/registry.reg
unset OZZEL_WINDOWED
run() { timeout 120 xvfb-run -a -s "-screen 0 1366x768x24" "$WORK/inner.sh" "$BUILD" "$@" "$WORK"; }
echo "  a bare SDL window with audio, 10 s" >&2
run bare >>"$WORK/out"
echo "  the program, menu and scene, 10 s each" >&2
run "" >>"$WORK/out"
echo "  the same, every timer tick waking it" >&2
OZZEL_WAKE_EVERY_TICK=1 run "-every-tick" >>"$WORK/out"
awk '{ all[$1] = $2 / $4; ui[$1] = $3 / $4 }
  END {
    b = all["bare"]
    printf "| 1366 x 768, SDL_AUDIODRIVER=%s | wakes/s, all threads | UI thread | over the bare window |\n", ENVIRON["SDL_AUDIODRIVER"]
    print "|---|---|---|---|"
    printf "| bare SDL window, audio open | %.1f | %.1f | - |\n", b, ui["bare"]
    n = split("menu scene menu-every-tick scene-every-tick", k, " ")
    for (i = 1; i <= n; ++i) if (k[i] in all)
      printf "| ozzel, %s | %.1f | %.1f | %+.1f |\n", k[i], all[k[i]], ui[k[i]], all[k[i]] - b
  }' "$WORK/out"
