#!/bin/bash
# The medium stays byte for byte the same under load: one busy loop per core runs while datagen --force makes
# the medium ROUNDS times in each language, with 1, 2, ... up to cores + 1 threads in turn; every round's files
# are compared with the first round's. Prints each round's wall time and content hash, then how many files
# differed. Exits 1 when any did (never on time).
# Usage: bench/determinism.sh [BUILD_DIR] [ROUNDS] [LANGUAGE...]   (default: build 15 cs en)
set -u
BUILD=$(cd "${1:-build}" && pwd)
ROUNDS=${2:-15}
shift 2 2>/dev/null || shift $#
LANGS=("$@")
[ ${#LANGS[@]} -gt 0 ] || LANGS=(cs en)
DATAGEN=$BUILD/tools/datagen/datagen
[ -x "$DATAGEN" ] || { echo "determinism.sh: $DATAGEN is not built" >&2; exit 2; }
WORK=$(mktemp -d)
busy=()
cleanup() {
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cores=$(nproc)
for _ in $(seq 1 "$cores"); do
  yes >/dev/null &
  busy+=($!)
done
echo "determinism under load: $cores busy loops, $ROUNDS rounds per language, load $(cut -d' ' -f1-3 /proc/loadavg)"
differ=0
for lang in "${LANGS[@]}"; do
  for round in $(seq 1 "$ROUNDS"); do
    jobs=$(((round - 1) % (cores + 1) + 1))
    out=$WORK/$lang-$round
    start=$(date +%s.%N)
    if ! "$DATAGEN" --force --quiet --jobs "$jobs" --language "$lang" "$out" >"$WORK/log" 2>&1; then
      echo "determinism.sh: datagen --language $lang --jobs $jobs failed:" >&2
      cat "$WORK/log" >&2
      exit 2
    fi
    wall=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
    content=$(sed -n 's/^content //p' "$out/bm4/_ozzel/.datagen-stamp")
    n=0
    if [ "$round" -gt 1 ]; then
      n=$(diff -rq "$WORK/$lang-1/bm4/_ozzel" "$out/bm4/_ozzel" | wc -l)
      differ=$((differ + n))
      rm -rf "$out"
    fi
    printf '%-3s round %2d  jobs %d  %6s s  content %s  %d files differ\n' "$lang" "$round" "$jobs" "$wall" "$content" "$n"
  done
done
echo "$differ files differ"
[ "$differ" -eq 0 ]
