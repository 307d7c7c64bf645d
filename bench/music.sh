#!/bin/bash
# What the music costs the real program in a virtual X server, with the demo medium's song and with a
# generated 58-minute General MIDI song: peak memory, the longest time the window does not answer
# (the longest pause in its trace: the examiner talks and the menu blinks every half second) before
# and after Esc, and CPU in the menu while the song plays. Reports; never fails on time.
# Usage: bench/music.sh [BUILD_DIR] [PROGRAM...]
#   PROGRAM defaults to BUILD_DIR/ozzel; name an older build's program too to compare.
#   Needs xvfb-run and xdotool; the sound goes to SDL's disk driver (/dev/null), in real time.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
shift || true
PROGRAMS=("$@")
[ ${#PROGRAMS[@]} -eq 0 ] && PROGRAMS=("$BUILD/ozzel")
for p in "${PROGRAMS[@]}"; do
  [ -x "$p" ] || { echo "music.sh: $p is not built" >&2; exit 2; }
done
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "music.sh: $tool is not installed" >&2; exit 2; }
done
SONG_TOOL=$BUILD/bench/long_song
[ -x "$SONG_TOOL" ] || { echo "music.sh: $SONG_TOOL is not built" >&2; exit 2; }
MEDIUM=$BUILD/test-medium
[ -d "$MEDIUM/bm4/_ozzel" ] || { echo "music.sh: no demo medium at $MEDIUM (run the tests or datagen)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Two copies of the medium, the second with the long song.
cp -a "$MEDIUM" "$WORK/demo"
cp -a "$MEDIUM" "$WORK/long"
"$SONG_TOOL" "$WORK/long/bm4/_ozzel/hudba/ozzel.mid" 58

cat >"$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Runs inside the X server: start, Esc after 3 s, 40 s in the menu with the music; writes what it
# measured to OUT.
set -u
BIN=$1 MEDIUM=$2 OUT=$3
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$OUT.reg"
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
t0=$(now_ms)
OZZEL_REGISTRY=$OUT.reg OZZEL_TRACE=1 "$BIN" 2>"$OUT.trace" &
pid=$!
sleep 3
esc=$(( $(now_ms) - t0 ))
xdotool key Escape
# The music starts 2 s after the introduction, once Play returns (a program that renders the whole
# song first returns only then): up to 30 minutes.
for _ in $(seq 1 3600); do grep -q " midi play" "$OUT.trace" && break; sleep 0.5; done
sleep 30
c0=$(ticks $pid); m0=$(now_ms)
sleep 10
c1=$(ticks $pid); m1=$(now_ms)
hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
kill -TERM $pid
q0=$(now_ms)
wait $pid
echo "$esc $hwm $(( c1 - c0 )) $(( m1 - m0 )) $(getconf CLK_TCK) $(( $(now_ms) - q0 ))" >"$OUT.measured"
EOF
chmod +x "$WORK/inner.sh"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
unset OZZEL_WINDOWED OZZEL_SCALE

echo "| program | song | peak memory | longest pause before Esc | longest pause after Esc | CPU in the menu (10 s, of a core) | exit after TERM |"
echo "|---|---|---|---|---|---|---|"
n=0
for bin in "${PROGRAMS[@]}"; do
  for song in demo long; do
    n=$((n + 1))
    out=$WORK/run$n
    echo "  $bin, $song song: 50 s, or until the music starts" >&2
    timeout 2400 xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$bin" "$WORK/$song" "$out" ||
      { echo "music.sh: the run of $bin with the $song song failed" >&2; continue; }
    read -r esc hwm cpu ms hz quit <"$out.measured"
    # Longest pause between two trace lines, before and after the Esc (the program's clock, ms).
    gaps=$(grep -E '^[0-9]+ ' "$out.trace" | awk -v esc="$esc" '
      { t = $1; if (NR > 1) { g = t - last; if (t <= esc) { if (g > b) b = g } else if (g > a) a = g } last = t }
      END { printf "%d %d", b, a }')
    read -r before after <<<"$gaps"
    awk -v bin="$bin" -v song="$song" -v hwm="$hwm" -v before="$before" -v after="$after" -v cpu="$cpu" \
        -v ms="$ms" -v hz="$hz" -v quit="$quit" 'BEGIN {
      printf "| %s | %s | %.1f MB | %.1f s | %.1f s | %.2f %% | %d ms |\n", bin, song == "long" ? "58 min" : "demo",
        hwm / 1024, before / 1000, after / 1000, 100 * (cpu / hz) / (ms / 1000), quit }'
  done
done
