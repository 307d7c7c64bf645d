#!/bin/bash
# The access modes in a real window under Xvfb: keys choose a scene, a kiosk grabs the keyboard and
# ends on a held Esc, and a resting pointer chooses a scene button. Usage: xvfb_access.sh BUILD_DIR.
# Skips (exit 0) when the program, the X tools or the demo medium are not there.
set -u

# ---------------------------------------------------------------------------------------------------
# Inside the X server (the script runs itself under xvfb-run).
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  BIN=$1 WORK=$2 PROBE=$3
  PID=""
  TRACE=""
  fail() {
    echo "FAIL: $*"
    [ -n "$TRACE" ] && tail -n 20 "$TRACE"
    [ -n "$PID" ] && kill -9 "$PID" 2>/dev/null
    exit 1
  }
  alive() { kill -0 "$PID" 2>/dev/null; }
  traced() { grep -q -- "$1" "$TRACE"; }
  wait_for() {
    local secs=$1 what=$2 end=$((SECONDS + $1))
    until traced "$what"; do
      alive || fail "the program ended while waiting for '$what'"
      [ $SECONDS -ge $end ] && fail "no '$what' within $secs s"
      sleep 0.1
    done
  }
  # start NAME ACCESS KIOSK: the program with these parents' settings, its trace in NAME.txt.
  start() {
    TRACE=$WORK/$1.txt
    export OZZEL_REGISTRY=$WORK/$1.reg
    cp "$WORK/base.reg" "$OZZEL_REGISTRY"
    printf '\n[HKEY_CURRENT_USER\\Software\\Ozzel]\n"Access"="%s"\n"Kiosk"=dword:%08d\n"DwellMs"=dword:00000258\n' "$2" "$3" >>"$OZZEL_REGISTRY"
    "$BIN" 2>"$TRACE" &
    PID=$!
    wait_for 20 " bounds form_ozzel "
    read -r OX OY < <(grep " bounds form_ozzel " "$TRACE" | tail -1 | awk '{ print $4, $5 }')
    wait_for 20 " show btn_obraz1$"
  }

  echo "== keys in a kiosk"
  start kiosk keys 1
  [ "$("$PROBE")" = grabbed ] || fail "a kiosk does not hold the keyboard"
  xdotool key Escape
  wait_for 10 " hide stit$"
  wait_for 10 " highlight btn_obraz1$"
  xdotool key Tab
  wait_for 10 " highlight btn_obraz2$"
  xdotool key Return
  wait_for 10 " picture podklad .*uzit_f.bmp$"
  # A short Esc only skips; held for two seconds it ends the game.
  xdotool keydown Escape
  sleep 2.6
  xdotool keyup Escape
  wait_for 10 " hold esc$"
  wait_for 10 " exit 0$"
  wait "$PID" || fail "the kiosk ended with status $?"

  echo "== dwell, no kiosk"
  start dwell dwell 0
  [ "$("$PROBE")" = free ] || fail "the keyboard is held without a kiosk"
  xdotool key Escape
  wait_for 10 " hide stit$"
  # The home button (60 x 60 at 42, 416 of the main window), the pointer resting on it.
  xdotool mousemove $((OX + 72)) $((OY + 446))
  wait_for 10 " dwell btn_obraz1$"
  wait_for 10 " picture podklad .*doma_f.bmp$"
  kill "$PID"
  wait "$PID" 2>/dev/null
  exit 0
fi

# ---------------------------------------------------------------------------------------------------
# Outside: checks, the demo medium, a private home, then the X server.
BUILD=$(cd "${1:?usage: xvfb_access.sh BUILD_DIR}" && pwd)
BIN=$BUILD/ozzel
PROBE=$BUILD/tests/x_grab_probe
DATAGEN=$BUILD/tools/datagen/datagen
for b in "$BIN" "$PROBE"; do
  if [ ! -x "$b" ]; then echo "skip: $b is not built"; exit 0; fi
done
for tool in xvfb-run xdotool; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done
MEDIUM=${OZZEL_TEST_MEDIUM:-$BUILD/test-medium}
if [ -z "${OZZEL_TEST_MEDIUM:-}" ] && [ -x "$DATAGEN" ]; then
  if ! flock "$BUILD/test-medium.lock" "$DATAGEN" --quiet "$MEDIUM"; then echo "FAIL: datagen could not build $MEDIUM"; exit 1; fi
fi
if [ ! -f "$MEDIUM/bm4/_ozzel/obrazky/doma_f.bmp" ]; then echo "skip: no demo medium in $MEDIUM"; exit 0; fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$WORK/base.reg"

export OZZEL_TRACE=1 SDL_AUDIODRIVER=dummy OZZEL_XVFB_INNER=1
unset OZZEL_WINDOWED
export OZZEL_SCALE=1  # pixel for pixel: the main window at its logical place on the screen
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BIN" "$WORK" "$PROBE"
RC=$?
[ $RC -eq 124 ] && { echo "FAIL: the test ran out of time"; exit 1; }
[ $RC -eq 0 ] || { echo "FAIL: in the X server (status $RC)"; exit 1; }
echo "ok"
