#!/bin/bash
# Time to make the demo medium: datagen --force in each language asked for (default cs en de), on every
# core and on one, reporting wall time, CPU time (user + system, Festival's processes included) and the
# load average it ran under. Reports; never fails on time.
# Usage: bench/datagen.sh [BUILD_DIR] [LANGUAGE...]
set -u
BUILD=$(cd "${1:-build}" && pwd)
shift || true
LANGS=("$@")
[ ${#LANGS[@]} -gt 0 ] || LANGS=(cs en de)
DATAGEN=$BUILD/tools/datagen/datagen
[ -x "$DATAGEN" ] || { echo "datagen.sh: $DATAGEN is not built" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cores=$(nproc)
printf '%-8s %-6s %9s %9s %s\n' language jobs "wall s" "cpu s" "load (1 min) before"
for lang in "${LANGS[@]}"; do
  for jobs in "$cores" 1; do
    load=$(cut -d' ' -f1 /proc/loadavg)
    if ! /usr/bin/time -f '%e %U %S' -o "$WORK/time" "$DATAGEN" --force --quiet --jobs "$jobs" --language "$lang" \
        "$WORK/medium-$lang" >/dev/null 2>"$WORK/err"; then
      echo "datagen.sh: datagen --language $lang failed:" >&2
      cat "$WORK/err" >&2
      exit 1
    fi
    read -r wall user sys <"$WORK/time"
    printf '%-8s %-6s %9.2f %9.2f %s\n' "$lang" "$jobs" "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$load"
  done
done
