#!/usr/bin/env bash
# The web site's budgets: what one language's visit transfers (the program, its files and that medium,
# gzipped as a host would send them), and the program's own files; then the page's first frame, idle CPU and
# memory in headless chromium beside a blank page and a minimal song page, and a first visit's bytes and time
# over a 10 and a 2 Mbit/s line. Reports, never asserts.
#   bench/web.sh [SITE_DIR]     (build-web/site by default; made by scripts/build-web)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site=${1:-$root/build-web/site}
[ -f "$site/index.html" ] || { echo "web.sh: no site in $site (scripts/build-web)" >&2; exit 1; }
gz() { gzip -9c "$1" | wc -c; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
program=0
for f in $(cd "$site" && find . -type f ! -path './media/*' ! -name '*.gz' | sort); do
  program=$((program + $(gz "$site/$f")))
done
echo "the program and page (gzipped): $(mb "$program")  (wasm $(mb "$(gz "$site"/ozzel.*.wasm)"), fonts $(mb "$(cat "$site"/fonts/*.ttf | gzip -9c | wc -c)"))"
echo "| language | medium (tar.gz) | one visit in all | budget |"
echo "|---|---|---|---|"
for m in "$site"/media/*.tar.gz; do
  lang=$(basename "$m" .tar.gz)
  lang=${lang%%.*}  # its name carries its hash
  size=$(stat -c %s "$m")
  echo "| $lang | $(mb "$size") | $(mb $((size + program))) | 12 MB |"
done
echo
echo "The page in headless chromium (bench/web_page.mjs; the Linux program's own figures: bench/startup.sh,"
echo "its wakes: bench/idle_wakes.sh):"
node --experimental-websocket --no-warnings "$root/bench/web_page.mjs" "$site" "${OZZEL_IDLE_SECONDS:-10}"
echo
node --experimental-websocket --no-warnings "$root/bench/web_first_visit.mjs" "$site" 10 2
