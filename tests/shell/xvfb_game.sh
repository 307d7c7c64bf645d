#!/bin/bash
# The real program in a virtual X server: intro, a scene button, a wrong and a right answer, the exit button, the saved start count.
# Usage: xvfb_game.sh BUILD_DIR. Skips (exit 0) when the program, the X tools or the demo medium are not there.
# On failure the last screen is kept in BUILD_DIR/xvfb-failure.png.
set -u

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server (the script runs itself under xvfb-run).
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  BIN=$1 WORK=$2 PICS=$3
  SCENE=$PICS/doma_f.bmp
  TRACE=$WORK/trace.txt
  SHOT=$WORK/shot.png
  PID=""
  . "$(dirname "$0")/harness.bash"
  # How many pixels of client rectangle X Y W H in the last shot differ from FILE (-1: not comparable).
  differing() {
    local n
    n=$(compare -metric AE "$SHOT[$4x$5+$((OX + $2))+$((OY + $3))]" "$1" null: 2>&1)
    n=${n%% *}
    [[ $n =~ ^[0-9]+$ ]] && echo "$n" || echo -1
  }
  same_as() { shoot && [ "$(differing "$@")" -eq 0 ]; }
  changed() { shoot && [ "$(differing "$@")" -gt 0 ]; }
  # Pixels of client rectangle X Y W H whose colour satisfies the awk condition COND on r, g, b.
  count_where() {
    convert "$SHOT[$3x$4+$((OX + $1))+$((OY + $2))]" -depth 8 txt:- |
      awk -v FS='[(),]+' 'NR > 1 { r = $3 + 0; g = $4 + 0; b = $5 + 0; if ('"$5"') n++ } END { print n + 0 }'
  }
  colours() { convert "$SHOT[$3x$4+$((OX + $1))+$((OY + $2))]" -format %k info:; }
  crop() { convert "$SHOT[$3x$4+$((OX + $1))+$((OY + $2))]" +repage "$5"; }
  click_client() { xdotool mousemove $((OX + $1)) $((OY + $2)) click 1; }

  "$BIN" 2>"$TRACE" &
  PID=$!

  # The window, titled with the application title.
  titled() { [ -n "$(xdotool search --name "^Ozzel - Bimbalo 4$" 2>/dev/null)" ]; }
  wait_for 20 "window titled \"Ozzel - Bimbalo 4\"" titled

  # The main form, centred.
  wait_for 20 "main form in the trace" traced " bounds form_ozzel "
  read -r OX OY < <(grep " bounds form_ozzel " "$TRACE" | tail -1 | awk '{ print $4, $5 }')
  [ "$OX $OY" = "192 144" ] || fail "main form at $OX,$OY, not centred at 192,144"

  # The intro: its picture on the stage (divadlo, 530 x 380 at 6,16) and scene button 1 drawn.
  wait_for 20 "intro (show btn_obraz1)" traced " show btn_obraz1$"
  wait_for 10 "scene button 1 drawn" eval 'shoot && [ "$(colours 42 416 60 60)" -gt 1 ]'
  crop 42 416 60 60 "$WORK/button_up.png"
  # SDL may replace its X window at the first presentation, so the window is looked at only now that it shows
  # something: it covers the whole screen.
  WIN=$(xdotool search --name "^Ozzel - Bimbalo 4$" 2>/dev/null | tail -1)
  GEOM=$(xdotool getwindowgeometry "$WIN" 2>&1 | tr '\n' ' ')
  echo "window $WIN: $GEOM"
  case $GEOM in *"Position: 0,0"*"Geometry: 1024x768"*) ;; *) fail "the window does not cover the screen: $GEOM" ;; esac
  wait_for 10 "intro picture on the stage, pixel for pixel" same_as "$WORK/intro.bmp" 6 16 530 380

  # Hover: the button shows its pressed-looking frame (drawn, and different from the normal one).
  xdotool mousemove $((OX + 72)) $((OY + 446))
  hovered() { changed "$WORK/button_up.png" 42 416 60 60 && [ "$(colours 42 416 60 60)" -gt 1 ]; }
  wait_for 10 "pressed-looking frame on the hovered scene button" hovered

  # Click: the home scene replaces the intro, with the score counter below it.
  xdotool click 1
  wait_for 15 "scene switch (show podklad)" traced " show podklad$"
  grep -q " picture podklad .*doma_f.bmp" "$TRACE" || fail "the scene picture is not the home scene"
  wait_for 10 "scene picture on screen, pixel for pixel" same_as "$SCENE" 0 0 640 410
  # Counter background at 307,416: a yellow sun in columns 0-65 and another in 166-230; nothing yellow between.
  yellow='r > 200 && g > 170 && b < 110'
  SUN1=$(count_where 307 416 66 60 "$yellow")
  SUN2=$(count_where 473 416 65 60 "$yellow")
  MID=$(count_where 373 416 100 60 "$yellow")
  echo "counter: yellow pixels left $SUN1, right $SUN2, middle $MID"
  [ "$SUN1" -ge 300 ] && [ "$SUN2" -ge 300 ] || fail "no suns on the counter background"
  [ "$MID" -le 20 ] || fail "yellow in the middle of the counter"
  # Both counts show a digit in aqua.
  aqua='r < 40 && g > 220 && b > 220'
  DOBRE=$(count_where 368 434 50 22 "$aqua")
  SPATNE=$(count_where 428 435 50 22 "$aqua")
  echo "counter: aqua pixels good $DOBRE, bad $SPATNE"
  [ "$DOBRE" -ge 10 ] && [ "$SPATNE" -ge 10 ] || fail "the counts are not drawn"
  crop 368 434 50 22 "$WORK/dobre0.png"
  crop 428 435 50 22 "$WORK/spatne0.png"

  # The first question names its animal (its "_a"/"_b" recording, or a sound that belongs to one animal).
  # A wrong animal first: the bad count goes up and the clicked animal's sound is queued; then the right one:
  # its picture covers the scene and the good count goes up.
  wait_for 15 "first question" eval '[ -n "$(question)" ]'
  read -r QKIND QNUM < <(question)
  RIGHT=$QNUM
  [ "$QKIND" = sound ] && RIGHT=$(lookup "$QNUM" $SOUND_ANIMALS)
  echo "question: $QKIND $QNUM, animal $RIGHT"
  [ -n "$RIGHT" ] || fail "no animal of the home scene makes sound $QNUM"
  RIGHT_AT=$(lookup "$RIGHT" $ANIMAL_POINTS)
  [ -n "$RIGHT_AT" ] || fail "animal $RIGHT is not in the home scene's hit map"
  WRONG=5
  [ "$RIGHT" = 5 ] && WRONG=7
  WRONG_AT=$(lookup "$WRONG" $ANIMAL_POINTS)

  click_client ${WRONG_AT/,/ }
  wait_for 10 "bad answer counted" traced " caption lbl_spatne 1$"
  traced " caption lbl_dobre " && fail "a wrong animal was counted as good"
  wait_for 10 "the wrong animal's sound (oz_D_E$WRONG.wav)" traced " wav open .*oz_D_E$WRONG\.wav$"
  wait_for 8 "bad count changed on screen" changed "$WORK/spatne0.png" 428 435 50 22

  click_client ${RIGHT_AT/,/ }
  wait_for 10 "good answer counted" traced " caption lbl_dobre 1$"
  grep -q " picture preview .*\\\\doma_$RIGHT\.bmp$" "$TRACE" || fail "the animal picture loaded is not doma_$RIGHT.bmp"
  wait_for 8 "animal picture on screen, pixel for pixel" same_as "$PICS/doma_$RIGHT.bmp" 0 0 640 410
  wait_for 8 "good count changed on screen" changed "$WORK/dobre0.png" 368 434 50 22
  cp "$SHOT" "$WORK/answered.png"

  # The exit button ends the program within a few seconds, with status 0.
  click_client 586 447
  END=$((SECONDS + 10))
  while alive && [ $SECONDS -lt $END ]; do sleep 0.1; done
  alive && fail "still running 10 s after the exit button was clicked"
  wait "$PID"
  RC=$?
  PID=""
  echo "exit status $RC"
  [ "$RC" -eq 0 ] || fail "exit status $RC"
  exit 0
fi

# ---------------------------------------------------------------------------------------------------------------
# Outside: checks, the demo medium, a private settings store and home, then the X server.
BUILD=$(cd "${1:?usage: xvfb_game.sh BUILD_DIR}" && pwd)
BIN=$BUILD/ozzel
SIM=$BUILD/ozzel-sim
DATAGEN=$BUILD/tools/datagen/datagen
for b in "$BIN" "$SIM"; do
  if [ ! -x "$b" ]; then echo "skip: $b is not built"; exit 0; fi
done
for tool in xvfb-run xdotool import convert compare; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done

# The scenario tests cache the medium in the same place, under the same lock; datagen leaves a current one alone.
MEDIUM=${OZZEL_TEST_MEDIUM:-$BUILD/test-medium}
if [ -z "${OZZEL_TEST_MEDIUM:-}" ] && [ -x "$DATAGEN" ]; then
  if ! flock "$BUILD/test-medium.lock" "$DATAGEN" --quiet "$MEDIUM"; then echo "FAIL: datagen could not build $MEDIUM"; exit 1; fi
fi
PICS=$MEDIUM/bm4/_ozzel/obrazky
if [ ! -f "$PICS/doma_f.bmp" ]; then echo "skip: no demo medium in $MEDIUM (datagen not built)"; exit 0; fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
export XDG_CACHE_HOME=$WORK/home/.cache XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export OZZEL_REGISTRY=$WORK/registry.reg
if [ -x "$DATAGEN" ]; then
  "$DATAGEN" --quiet --register "$MEDIUM" --registry "$OZZEL_REGISTRY" || { echo "FAIL: cannot register the medium"; exit 1; }
else
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$OZZEL_REGISTRY"
fi

# Where the animals of the home scene are (a point inside each silhouette of the hit map) and which animal
# each sound question means, from the simulator: the same program, headless.
SIM_SCRIPT='wait 700
key esc
click 72 446
wait 300
dump'
for n in 1 2 3 4 5 6 7 8 9 10; do SIM_SCRIPT+=$'\n'"animal $n"; done
SIM_OUT=$(timeout 60 "$SIM" --data "$MEDIUM" --registry "$WORK/sim.reg" --seed 1 2>/dev/null <<<"$SIM_SCRIPT")
ANIMAL_POINTS=$(awk '$2 == "animal" && $4 != "none" { printf "%s:%s,%s ", $3, $4, $5 }' <<<"$SIM_OUT")
SOUND_ANIMALS=$(awk '$2 == "questions" { for (i = 3; i <= NF; i++) { split($i, q, ":"); if (q[1] == 3) printf "%s:%s ", q[4], q[3] } }' <<<"$SIM_OUT")
echo "home scene: animals $ANIMAL_POINTS; sounds $SOUND_ANIMALS"
case " $ANIMAL_POINTS" in *" 5:"*" 7:"*) ;; *) echo "FAIL: the simulator gave no animal points"; echo "$SIM_OUT" | tail; exit 1 ;; esac
export ANIMAL_POINTS SOUND_ANIMALS
convert "$PICS/oz_uvod.bmp" "$WORK/intro.bmp"

export OZZEL_TRACE=1 SDL_AUDIODRIVER=dummy OZZEL_XVFB_INNER=1
unset OZZEL_WINDOWED
export OZZEL_SCALE=1  # pixel for pixel; filling the screen has its own test
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BIN" "$WORK" "$PICS"
RC=$?
unset OZZEL_XVFB_INNER

fail() {
  echo "FAIL: $*"
  echo "--- trace (last lines) ---"
  tail -n 25 "$WORK/trace.txt" 2>/dev/null
  for f in failure.png answered.png shot.png; do
    if [ -f "$WORK/$f" ]; then cp "$WORK/$f" "$BUILD/xvfb-failure.png" && echo "screen kept in $BUILD/xvfb-failure.png"; break; fi
  done
  exit 1
}
[ $RC -eq 124 ] && fail "the test ran out of time"
[ $RC -eq 0 ] || fail "in the X server (status $RC)"

# The trace: no box, no missing file; the counters written back before the end.
BAD=$(grep -E " (msgbox|input) | (wav|midi|anim) open-fail | picture-fail " "$WORK/trace.txt")
[ -z "$BAD" ] || fail "unexpected trace lines: $BAD"
grep -q " exit 0$" "$WORK/trace.txt" || fail "no 'exit 0' in the trace"
awk '
  /^\[/ { in_key = ($0 == "[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Nastaveni - obecne]") }
  in_key && $0 == "\"Ozzel_starty\"=dword:00000001" { found = 1 }
  END { exit !found }' "$OZZEL_REGISTRY" || { cat "$OZZEL_REGISTRY"; fail "the start count 1 is not in the settings file"; }
rm -f "$BUILD/xvfb-failure.png"
echo "ok"
