#!/bin/bash
# Time from launching the desktop launcher with a fresh home (no demo medium yet) to the game's first
# presented frame (the waiting screen), in a virtual X server of 1366 x 768, and to the game proper.
# Reports the median of RUNS; never fails on time.
# Usage: bench/first_start.sh [BUILD_DIR] [RUNS] [LANGUAGE]   (needs xvfb-run)
set -u
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-5}
LANGUAGE=${3:-cs}
SRC=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$BUILD/ozzel" ] && [ -x "$BUILD/tools/datagen/datagen" ] || { echo "first_start.sh: build ozzel and datagen" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "first_start.sh: xvfb-run is not installed" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/bin"
cp "$SRC/packaging/ozzel-start" "$WORK/bin/"
ln -s "$BUILD/ozzel" "$WORK/bin/ozzel"
ln -s "$BUILD/tools/datagen/datagen" "$WORK/bin/datagen"
cat >"$WORK/inner.sh" <<'INNER'
#!/bin/bash
# One first start: prints "FIRST_FRAME_MS GAME_MS".
BIN=$1 LOG=$2
OZZEL_START_NS=$(date +%s%N) OZZEL_REPORT_FIRST_FRAME=1 OZZEL_TRACE=1 "$BIN/ozzel-start" 2>"$LOG" &
PID=$!
t0=$(date +%s%N)
until grep -q " show form_ozzel$" "$LOG"; do kill -0 $PID 2>/dev/null || break; sleep 0.05; done
t1=$(date +%s%N)
kill $PID 2>/dev/null; wait $PID 2>/dev/null
first=$(sed -n 's/^first-frame \([0-9.]*\) .*/\1/p' "$LOG" | head -1)
echo "${first:-?} $(((t1 - t0) / 1000000))"
INNER
chmod +x "$WORK/inner.sh"
echo "first start, language $LANGUAGE, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq 1 "$RUNS"); do
  rm -rf "$WORK/home" && mkdir -p "$WORK/home"
  env -i PATH=/usr/bin:/bin HOME="$WORK/home" OZZEL_LANGUAGE="$LANGUAGE" SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s "-screen 0 1366x768x24" "$WORK/inner.sh" "$WORK/bin" "$WORK/log" >>"$WORK/runs"
done
sort -n "$WORK/runs" | awk '{ f[NR] = $1; g[NR] = $2 } END {
  m = int((NR + 1) / 2); printf "launch to the waiting screen: median %s ms (%s-%s)\n", f[m], f[1], f[NR]
}'
sort -n -k2 "$WORK/runs" | awk '{ g[NR] = $2 } END { m = int((NR + 1) / 2); printf "launch to the game: median %s ms (%s-%s)\n", g[m], g[1], g[NR] }'
