#!/bin/bash
# A first start through the desktop launcher with a fresh home: the waiting screen comes first; a second
# launch during the wait and a third while the game plays each bring the running game to the front and end
# quietly (no window, no start counted); the game then starts once and counts one start.
# Usage: xvfb_first_start.sh BUILD_DIR. Skips (exit 0) when the program, datagen or the X tools are not there.
set -u

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server (the script runs itself under xvfb-run).
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  BIN=$1 WORK=$2
  TRACE=$WORK/trace1.txt
  PID="" COVER=""
  . "$(dirname "$0")/harness.bash"
  # True when the game's window lies above the cover window (xwininfo lists the topmost first).
  game_on_top() {
    LC_ALL=C xwininfo -root -children | awk '/"Ozzel - Bimbalo 4"/ { print "game"; exit } /"cover"/ { print "cover"; exit }' |
      grep -qx game
  }
  cover_on_top() { ! game_on_top; }
  # Covers the screen with another window, launches the game again, and checks it ended at once and quietly,
  # and that the running game came back on top.
  launch_again() {  # N
    xmessage -name cover -geometry 1366x768+0+0 cover 2>/dev/null &
    COVER=$!
    wait_for 20 "the cover window on top" cover_on_top
    "$BIN/ozzel-start" >"$WORK/out$1.txt" 2>"$WORK/trace$1.txt" &
    local second=$!
    local end=$((SECONDS + 60))
    while kill -0 "$second" 2>/dev/null; do
      [ $SECONDS -ge $end ] && { kill -9 "$second"; fail "launch $1 did not end"; }
      sleep 0.1
    done
    wait "$second" || fail "launch $1 ended with status $?"
    grep -q "already running" "$WORK/trace$1.txt" || { cat "$WORK/trace$1.txt"; fail "launch $1 did not say why it ended"; }
    if grep -E " show | registry write | wav open | midi open " "$WORK/trace$1.txt"; then
      fail "launch $1 showed a window, played or wrote settings"
    fi
    wait_for 20 "the game brought to the front by launch $1" game_on_top
    kill "$COVER"
  }

  # The first launch: its making of the medium waits for the word of this test, so that the second launch
  # surely comes during the wait.
  "$BIN/ozzel-start" 2>"$TRACE" &
  PID=$!
  wait_for 60 "the waiting screen" traced " show cekani$"
  launch_again 2
  : >"$WORK/go"
  wait_for 240 "the game after the waiting screen" traced " show BTN_Konec$"
  launch_again 3
  # Asked to end (as by closing its window), the game saves the start counter.
  kill -TERM "$PID"
  for _ in $(seq 1 300); do alive || break; sleep 0.1; done
  alive && fail "the game is still running 30 s after it was asked to end"
  wait "$PID" || fail "the game ended with status $?"
  traced " exit 0$" || fail "no 'exit 0' in the trace"
  exit 0
fi

# ---------------------------------------------------------------------------------------------------------------
BUILD=${1:?usage: xvfb_first_start.sh BUILD_DIR}
BUILD=$(cd "$BUILD" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
for tool in xvfb-run xdotool xwininfo xmessage import; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 0; }
done
[ -x "$BUILD/ozzel" ] && [ -x "$BUILD/tools/datagen/datagen" ] || { echo "skip: ozzel or datagen not built"; exit 0; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# An installed layout: the launcher beside the game (a copy: the game looks for datagen beside its own
# file) and a datagen that holds its building until told.
mkdir -p "$WORK/bin" "$WORK/home"
cp "$SRC/packaging/ozzel-start" "$WORK/bin/"
cp "$BUILD/ozzel" "$WORK/bin/ozzel"
cat >"$WORK/bin/datagen" <<EOF
#!/bin/sh
case " \$* " in *" --progress "*)
  while [ ! -e "$WORK/go" ] && [ -d "$WORK" ]; do sleep 0.1; done
  [ -e "$WORK/go" ] || exit 1 ;;
esac
exec "$BUILD/tools/datagen/datagen" "\$@"
EOF
chmod +x "$WORK/bin/datagen"
env -i PATH=/usr/bin:/bin HOME="$WORK/home" LANG=cs_CZ.UTF-8 OZZEL_TRACE=1 SDL_AUDIODRIVER=dummy OZZEL_XVFB_INNER=1 \
  timeout 280 xvfb-run -a -s "-screen 0 1366x768x24" bash "$0" "$WORK/bin" "$WORK"
rc=$?
store=$WORK/home/.config/bimbalo/registry.reg
if [ $rc -ne 0 ]; then
  echo "--- the first game's trace (last lines) ---"
  tail -n 20 "$WORK/trace1.txt" 2>/dev/null
  cp "$WORK/failure.png" "$BUILD/xvfb-first-start-failure.png" 2>/dev/null && echo "last screen: $BUILD/xvfb-first-start-failure.png"
  exit 1
fi
grep -qi '"Ozzel_starty"=dword:00000001' "$store" || { cat "$store"; echo "FAIL: not exactly one start counted"; exit 1; }
echo ok
