#!/usr/bin/env bash
# The web page in headless chromium (page_test.mjs), its core path in WebKit and Firefox (engines_test.mjs),
# then the Linux program under Xvfb at the same 1366 x 768 on the same medium to the same screen (the home
# scene, its first question asked, the pointer off the game): the two screens must be the same pixel for
# pixel outside the counts, which are text (the browser's fonts against SDL_ttf) and are blacked out on
# both. Nothing else moves there.
#   tests/web/page.sh WEB_BUILD LINUX_BUILD [LANGUAGE]   (the site in WEB_BUILD/site, its medium in WEB_BUILD/media)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
web=$(cd "${1:?usage: page.sh WEB_BUILD LINUX_BUILD [LANGUAGE]}" && pwd)
linux=$(cd "${2:?usage: page.sh WEB_BUILD LINUX_BUILD [LANGUAGE]}" && pwd)
lang=${3:-cs}
out=$web/page-test
fail() {
  echo "FAIL: $*"
  echo "screens and traces are kept in $out"
  exit 1
}
for tool in node chromium WebKitWebDriver firefox-esr xvfb-run xdotool import convert compare; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps)"
done
compgen -G "$web/site/media/$lang.*.tar.gz" >/dev/null || fail "no $lang site in $web/site (scripts/build-web)"
[ -d "$web/media/$lang" ] || fail "no medium in $web/media/$lang"
[ -x "$linux/ozzel" ] || fail "$linux/ozzel is not built"
rm -rf "$out"
mkdir -p "$out"

echo "== the page's parts under node"
node --test "$here/page_parts.test.mjs" 2>&1 | grep -E '^(not )?ok|^# (pass|fail)' || true
node --test "$here/page_parts.test.mjs" >/dev/null 2>&1 || fail "the page's parts (node --test $here/page_parts.test.mjs)"

echo "== the page in headless chromium"
# chromium's own complaints (no D-Bus, no GPU) go to its stderr, which the test does not read.
timeout 900 node --experimental-websocket --no-warnings "$here/page_test.mjs" "$web/site" "$out" "$lang" ||
  fail "the page test"

# The core path (tap, intro, menu, a scene, an answer judged, a reload keeps the count) in the other
# engines: WebKitGTK, Safari's engine, needs an X server; Firefox runs headless.
echo "== the page in WebKit (WebKitGTK's WebDriver under Xvfb)"
timeout 600 xvfb-run -a -s "-screen 0 1366x768x24" \
  node --experimental-websocket --no-warnings "$here/engines_test.mjs" "$web/site" webkit "$lang" || fail "the page in WebKit"
echo "== the page in Firefox ESR (WebDriver BiDi)"
timeout 600 node --experimental-websocket --no-warnings "$here/engines_test.mjs" "$web/site" firefox "$lang" ||
  fail "the page in Firefox"

echo "== the Linux program at 1366 x 768"
export OZZEL_REGISTRY=$out/linux.reg OZZEL_TRACE=1 SDL_AUDIODRIVER=dummy
unset OZZEL_SCALE OZZEL_WINDOWED
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$web/media/$lang" >"$OZZEL_REGISTRY"
# Inside the X server: the intro, Esc, the home scene's button, the first question, the screen.
timeout 300 xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  out=$1 bin=$2
  "$bin" 2>"$out/linux-trace.txt" &
  pid=$!
  until_traced() {
    local end=$((SECONDS + $2))
    until grep -qE -- "$1" "$out/linux-trace.txt"; do
      [ $SECONDS -ge $end ] && { echo "no \"$1\" within $2 s"; kill $pid; exit 1; }
      sleep 0.2
    done
  }
  # The form at (107, 0) of the 854 x 480 logical screen, 1.6 physical pixels to one.
  at() { awk -v x="$1" -v y="$2" "BEGIN { printf \"%d %d\", (107 + x + 0.5) * 1.6, (y + 0.5) * 1.6 }"; }
  until_traced "wav open .*oz_uvod\.wav" 60
  sleep 1
  xdotool key Escape
  until_traced " hide stit$" 20
  xdotool mousemove $(at 72 446) click 1
  until_traced "wav open .*(oz_D_[ab][0-9]+|oz_snd[_a-z0-9]+)\.(wav|WAV)" 30
  xdotool mousemove 2 2
  sleep 2.5
  import -window root "$out/linux-scene.png"
  kill $pid
  wait $pid
  exit 0
' _ "$out" "$linux/ozzel" || fail "the Linux program did not reach the home scene"

# Blacked out on both: the counts (client 366 430 114 30, on the screen at (107 + x) * 1.6).
mask=" -draw 'rectangle $(( (107 + 366) * 16 / 10 )),$(( 430 * 16 / 10 )) $(( ((107 + 480) * 16 + 9) / 10 )),$(( (460 * 16 + 9) / 10 ))'"
for name in web:scene linux:linux-scene; do
  eval convert "'$out/${name#*:}.png'" -alpha off -fill black $mask "'$out/${name%%:*}-masked.png'"
done
n=$(compare -metric AE "$out/web-masked.png" "$out/linux-masked.png" "$out/diff.png" 2>&1)
echo "the home scene, web against Linux at 1366 x 768: $n pixels differ outside the counts"
[ "${n%% *}" = 0 ] || fail "the page's screen differs from the Linux program's (diff.png)"
echo "ok"
