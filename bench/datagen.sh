#!/bin/bash
# Time to make the demo medium: datagen --force in each language asked for (default cs en de), on every
# core and on one, reporting wall time, CPU time (user + system, Festival's processes included), the
# medium's content hash and the load average it ran under; with BEFORE=DIR the same rows for the datagen
# of another build (an older commit's) above them, and with STAGES=1 the time per stage where the binary
# tells it. Reports; never fails on time.
# Usage: [BEFORE=OLD_BUILD_DIR] [STAGES=1] bench/datagen.sh [BUILD_DIR] [LANGUAGE...]
set -u
BUILD=$(cd "${1:-build}" && pwd)
shift || true
LANGS=("$@")
[ ${#LANGS[@]} -gt 0 ] || LANGS=(cs en de)
builds=()
[ -n "${BEFORE:-}" ] && builds+=("$(cd "$BEFORE" && pwd)")
builds+=("$BUILD")
for b in "${builds[@]}"; do
  [ -x "$b/tools/datagen/datagen" ] || { echo "datagen.sh: $b/tools/datagen/datagen is not built" >&2; exit 2; }
done
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cores=$(nproc)
printf '%-7s %-8s %-6s %9s %9s %-17s %s\n' build language jobs "wall s" "cpu s" content "load (1 min) before"
for lang in "${LANGS[@]}"; do
  for b in "${builds[@]}"; do
    label=now
    [ ${#builds[@]} -gt 1 ] && [ "$b" = "${builds[0]}" ] && label=before
    datagen=$b/tools/datagen/datagen
    stages=()
    [ "${STAGES:-}" = 1 ] && "$datagen" --help | grep -q -- --stages && stages=(--stages)
    for jobs in "$cores" 1; do
      load=$(cut -d' ' -f1 /proc/loadavg)
      if ! /usr/bin/time -f '%e %U %S' -o "$WORK/time" "$datagen" --force --quiet "${stages[@]}" --jobs "$jobs" \
          --language "$lang" "$WORK/medium-$lang" >/dev/null 2>"$WORK/err"; then
        echo "datagen.sh: $datagen --language $lang failed:" >&2
        cat "$WORK/err" >&2
        exit 1
      fi
      read -r wall user sys <"$WORK/time"
      content=$(sed -n 's/^content //p' "$WORK/medium-$lang/bm4/_ozzel/.datagen-stamp")
      printf '%-7s %-8s %-6s %9.2f %9.2f %-17s %s\n' "$label" "$lang" "$jobs" "$wall" \
        "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "$content" "$load"
      [ ${#stages[@]} -gt 0 ] && sed 's/^/        /' "$WORK/err"
    done
  done
done
