#!/bin/bash
# What hostile inputs cost the real program: memory while the first start's helper writes without end
# (cat /dev/zero, 5 s), the time its waiting screen takes over 10 MB of line breaks, and the start of
# the game with a 15 MB settings file against an empty one (the simulator, to its first presented frame
# and out). Reports; never fails on time.
# Usage: bench/hostile_inputs.sh [BUILD_DIR] [BUILD_DIR...]   (each build is measured; needs xvfb-run)
set -u
BUILDS=("${@:-build}")
command -v xvfb-run >/dev/null || { echo "hostile_inputs.sh: xvfb-run is not installed" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cat >"$WORK/inner.sh" <<'INNER'
#!/bin/bash
# Inside the X server: the two waiting-screen figures for one program.
BIN=$1 WORK=$2
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
# Stand-ins for datagen, run as the game runs it (OZZEL_DATAGEN names it; the rest of its arguments ignored).
printf '#!/bin/sh\nexec cat /dev/zero\n' >"$WORK/endless"
printf '#!/bin/sh\nhead -c 10485760 /dev/zero | tr "\\0" "\\n"; exit 1\n' >"$WORK/breaks"
chmod +x "$WORK/endless" "$WORK/breaks"
export OZZEL_MEDIUM=$WORK/medium OZZEL_LANGUAGE=cs
OZZEL_DATAGEN=$WORK/endless "$BIN" 2>/dev/null &
pid=$!
sleep 1
a=$(rss_kb $pid)
sleep 5
b=$(rss_kb $pid)
helper=$(pgrep -P $pid)
kill -TERM $pid; sleep 1; kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
[ -n "$helper" ] && kill $helper 2>/dev/null  # an old program leaves its helper running
echo "endless helper output: memory ${a} kB after 1 s, ${b} kB after 6 s: $(((b - a) / 5)) kB/s"
t0=$(date +%s%N)
OZZEL_DATAGEN=$WORK/breaks "$BIN" 2>"$WORK/lines.txt" &
pid=$!
until grep -q "ozzel: " "$WORK/lines.txt" 2>/dev/null; do
  kill -0 $pid 2>/dev/null || break
  [ $((($(date +%s%N) - t0) / 1000000000)) -ge 300 ] && { echo "(stopped after 300 s)"; break; }
  sleep 0.05
done
t1=$(date +%s%N)
kill -TERM $pid; sleep 0.5; kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
echo "10 MB of line breaks through the waiting screen: $(((t1 - t0) / 1000000)) ms"
INNER
chmod +x "$WORK/inner.sh"

# A 15 MB settings file of the REGEDIT4 kind, a data root in it.
big=$WORK/big.reg
{
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Jiny program]\n'
  for i in $(seq 1 15000); do printf '"v%d"="%s"\n' "$i" "$(head -c 1000 /dev/zero | tr '\0' a)"; done
} >"$big"
echo "settings file: $(($(stat -c %s "$big") / 1048576)) MB"

for build in "${BUILDS[@]}"; do
  build=$(cd "$build" && pwd)
  echo "== $build (load average $(cut -d' ' -f1-3 /proc/loadavg))"
  if [ -x "$build/ozzel" ]; then
    rm -rf "$WORK/home" && mkdir -m 700 "$WORK/home" "$WORK/home/run"
    env -i PATH=/usr/bin:/bin HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/home/run" SDL_AUDIODRIVER=dummy \
      OZZEL_REGISTRY="$WORK/home/registry.reg" xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$build/ozzel" "$WORK"
  fi
  if [ -x "$build/ozzel-sim" ]; then
    for reg in empty big; do
      cp "$big" "$WORK/$reg-copy.reg" 2>/dev/null
      [ $reg = empty ] && : >"$WORK/$reg-copy.reg"
      touch -d '1 hour ago' "$WORK/$reg-copy.reg"
      printf 'wait 3000\n' >"$WORK/script.txt"
      t0=$(date +%s%N)
      "$build/ozzel-sim" --registry "$WORK/$reg-copy.reg" --script "$WORK/script.txt" >/dev/null 2>&1
      t1=$(date +%s%N)
      echo "start and 3 s of the game with the $reg settings file: $(((t1 - t0) / 1000000)) ms"
    done
  fi
done
