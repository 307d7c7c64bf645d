#!/bin/bash
# The real program filling 1366 x 768 (scale 1.6) and 3840 x 2160 (4.5), and in whole blocks on 1920 x 1080
# (OZZEL_SCALE=2): the main window's size and place, the sharp filter, and clicks at physical points judged in
# logical pixels (a miss on black, then the right animal). OZZEL_KEEP_SHOTS=DIR keeps each screen's last shot.
# Usage: xvfb_scale.sh BUILD_DIR. Skips (exit 0) when the program, the X tools or the demo medium are not there.
# On failure the last screen is kept in BUILD_DIR/xvfb-scale-failure.png.
set -u

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server (the script runs itself under xvfb-run), for one screen: SW SH NUM DEN (the scale NUM / DEN)
# and the OZZEL_SCALE it runs with ("" fills the screen).
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  BIN=$1 WORK=$2 SW=$3 SH=$4 NUM=$5 DEN=$6 ASK=$7
  NAME=${SW}x$SH
  TRACE=$WORK/trace-$NAME.txt
  SHOT=$WORK/shot.png
  PID=""
  FAIL_CONTEXT="$NAME, scale $NUM/$DEN" POLL=0.2
  . "$(dirname "$0")/harness.bash"
  # Physical pixels: the first wholly inside logical column L, and the last whose centre lies in it.
  first_in() { echo $(((($1 * NUM) + DEN - 1) / DEN)); }
  last_centred() { echo $((((2 * ($1 + 1) * NUM - DEN) + 2 * DEN - 1) / (2 * DEN) - 1)); }
  # A physical pixel whose centre lies in logical pixel L.
  centred() { echo $(((2 * $1 + 1) * NUM / (2 * DEN))); }
  # Pixels of physical rectangle X Y W H of the last shot in the window blue.
  blue_in() {
    convert "$SHOT[$3x$4+$1+$2]" -depth 8 txt:- |
      awk -v FS='[(),]+' 'NR > 1 && $3 == 64 && $4 == 160 && $5 == 224 { n++ } END { print n + 0 }'
  }
  click_at() { xdotool mousemove "$1" "$2" click 1; }

  LOG=$TRACE
  if [ -n "$ASK" ]; then OZZEL_SCALE=$ASK "$BIN" 2>"$TRACE" & else "$BIN" 2>"$TRACE" & fi
  PID=$!

  # The main form: 640 x 480 logical pixels centred on the logical screen.
  wait_for 30 "main form in the trace" traced " bounds form_ozzel "
  read -r LX LY LW LH < <(grep " bounds form_ozzel " "$TRACE" | tail -1 | awk '{ print $4, $5, $6, $7 }')
  [ "$LW $LH" = "640 480" ] || fail "main form ${LW}x$LH"
  L0=$(first_in "$LX") T0=$(first_in "$LY") R1=$((($((LX + LW)) * NUM) / DEN)) B1=$((($((LY + LH)) * NUM) / DEN))
  echo "$NAME, scale $NUM/$DEN: main form at logical $LX,$LY, wholly on physical $L0..$((R1 - 1)) x $T0..$((B1 - 1))"
  # Centred, as large as the scale makes it: within a pixel of 640 s x 480 s.
  [ $(((R1 - L0) * DEN + 2 * DEN >= 640 * NUM && (R1 - L0) * DEN <= 640 * NUM)) = 1 ] || fail "the form is $((R1 - L0)) wide"
  # Centred in logical pixels: the logical screen's last column may be cut, so within a logical pixel.
  OFF=$((L0 + R1 - SW)) TOL=$((2 * NUM / DEN + 2))
  [ ${OFF#-} -le $TOL ] || fail "the form is not centred across: $L0..$R1"
  [ -z "$ASK" ] && { [ "$T0 $B1" = "0 $SH" ] || fail "the form does not fill the screen's height: $T0..$B1"; }

  # A part of the intro picture at (6, 16) that starts on a whole physical pixel, exactly as taking every pixel
  # NUM times and averaging DEN x DEN blocks draws it (the sharp filter; +-1 for rounding).
  IX=$((LX + 6)) IY=$((LY + 16))
  AX=$(((DEN - IX % DEN) % DEN)) AY=$(((DEN - IY % DEN) % DEN))
  CW=$((400 / DEN * DEN)) CH=$((300 / DEN * DEN))
  PW=$((CW * NUM / DEN)) PH=$((CH * NUM / DEN)) PX=$(((IX + AX) * NUM / DEN)) PY=$(((IY + AY) * NUM / DEN))
  convert "$WORK/intro.bmp" -crop "${CW}x$CH+$AX+$AY" +repage -sample "$((NUM * 100))%" -scale "$((CW * NUM / DEN))x$((CH * NUM / DEN))!" \
    -depth 8 "$WORK/intro-$NAME.png"
  intro_shown() {
    shoot || return 1
    local n
    n=$(compare -fuzz 0.5% -metric AE "$SHOT[${PW}x$PH+$PX+$PY]" "$WORK/intro-$NAME.png" null: 2>&1)
    [ "${n%% *}" = 0 ]
  }
  wait_for 30 "intro picture on the stage, sharply filtered" intro_shown
  # Sharp: along a physical row wholly inside one logical row, each logical edge adds at most one blended pixel.
  M=$((CH / 2 / DEN * DEN))
  runs() { convert "$1" -depth 8 txt:- | awk 'NR > 1 { print $3 }' | uniq | wc -l; }
  SHOWN=$(runs "$SHOT[${PW}x1+$PX+$((PY + M * NUM / DEN))]") DRAWN=$(runs "$WORK/intro.bmp[${CW}x1+$AX+$((AY + M))]")
  [ "$SHOWN" -le $((2 * DRAWN - 1)) ] || fail "a row of $DRAWN logical colour runs shows $SHOWN runs on screen: blurred"
  echo "a row of $DRAWN colour runs shows as $SHOWN runs"
  WIN=$(xdotool search --name "^Ozzel - Bimbalo 4$" 2>/dev/null | tail -1)
  GEOM=$(xdotool getwindowgeometry "$WIN" 2>&1 | tr '\n' ' ')
  case $GEOM in *"Position: 0,0"*"Geometry: ${SW}x$SH"*) ;; *) fail "the window does not cover the screen: $GEOM" ;; esac
  if [ "$DEN" = 1 ]; then
    # The whole client area is made of uniform blocks: taking one pixel of each block and blowing it up again
    # gives the same picture.
    convert "$SHOT[$((R1 - L0))x$((B1 - T0))+$L0+$T0]" +repage "$WORK/client.png"
    convert "$WORK/client.png" -sample "${LW}x$LH!" -sample "$((R1 - L0))x$((B1 - T0))!" "$WORK/blocks.png"
    n=$(compare -metric AE "$WORK/client.png" "$WORK/blocks.png" null: 2>&1)
    [ "${n%% *}" = 0 ] || fail "$n pixels of the client area break their k x k block"
  fi
  # The client area's edges: window blue on the pixels wholly inside (clear of the corner pieces and the stage),
  # the mottled background on those wholly outside.
  V0=$(first_in $((LY + 100))) VH=$((300 * NUM / DEN)) H0=$(first_in $((LX + 100))) HW=$((400 * NUM / DEN))
  for edge in "$L0 $V0 1 $VH" "$((R1 - 1)) $V0 1 $VH" "$H0 $T0 $HW 1" "$H0 $((B1 - 1)) $HW 1"; do
    read -r x y w h <<<"$edge"
    [ "$(blue_in $x $y $w $h)" -eq $((w * h)) ] || fail "the client area's edge $edge is not all window blue"
  done
  OUTSIDE="$((L0 - 2)) $V0 1 $VH|$((R1 + 1)) $V0 1 $VH"
  [ "$T0" -ge 2 ] && OUTSIDE+="|$H0 $((T0 - 2)) $HW 1|$H0 $((B1 + 1)) $HW 1"
  IFS='|' read -r -a edges <<<"$OUTSIDE"
  for edge in "${edges[@]}"; do
    read -r x y w h <<<"$edge"
    [ "$(blue_in $x $y $w $h)" -lt $((w * h / 2)) ] || fail "the background next to $edge is window blue"
  done

  # Scene button 1 at logical (72, 446): the home scene.
  click_at "$(centred $((LX + 72)))" "$(centred $((LY + 446)))"
  wait_for 20 "scene switch (show podklad)" traced " show podklad$"
  wait_for 20 "first question" eval '[ -n "$(question)" ]'
  read -r QKIND QNUM < <(question)
  RIGHT=$QNUM
  if [ "$QKIND" = sound ]; then
    for kv in $SOUND_ANIMALS; do [ "${kv%%:*}" = "$QNUM" ] && RIGHT=${kv#*:}; done
  fi
  RIGHT_AT=""
  for kv in $ANIMAL_POINTS; do [ "${kv%%:*}" = "$RIGHT" ] && RIGHT_AT=${kv#*:}; done
  [ -n "$RIGHT_AT" ] || fail "animal $RIGHT is not in the home scene's hit map"
  echo "question: $QKIND $QNUM, animal $RIGHT at logical $RIGHT_AT"

  # Black in the hit map, pressed on the last physical pixel that mostly covers its logical pixel: a miss.
  click_at "$(last_centred $((LX + BLACK_X)))" "$(last_centred $((LY + BLACK_Y)))"
  wait_for 15 "the miss sound" traced " wav open .*oz_bad1\.wav$"
  traced " caption lbl_" && fail "a miss was counted"
  # The animal, at the physical pixel over its logical point: a right answer.
  click_at "$(centred $((LX + ${RIGHT_AT%,*})))" "$(centred $((LY + ${RIGHT_AT#*,})))"
  wait_for 15 "good answer counted" traced " caption lbl_dobre 1$"
  traced " caption lbl_spatne " && fail "the animal was counted as wrong"
  shoot && cp "$SHOT" "$WORK/scene-$NAME.png"

  kill "$PID"
  wait "$PID" 2>/dev/null
  PID=""

  # A window of 640k x 480k; a scale that does not fit is reduced, with a line saying so.
  if [ "$ASK" = 2 ]; then
    LOG=$WORK/windowed.txt
    OZZEL_WINDOWED=1 OZZEL_SCALE=3 "$BIN" 2>"$LOG" &
    PID=$!
    windowed() {
      local w
      w=$(xdotool search --name "^Ozzel - Bimbalo 4$" 2>/dev/null | tail -1)
      [ -n "$w" ] && xdotool getwindowgeometry "$w" 2>/dev/null | grep -q "Geometry: 1280x960"
    }
    wait_for 20 "a 1280 x 960 window" windowed
    grep -q "^ozzel: OZZEL_SCALE=3 does not fit the 1920x1080 display; using 2$" "$WORK/windowed.txt" ||
      fail "no line about the reduced scale: $(cat "$WORK/windowed.txt")"
    kill "$PID"
    wait "$PID" 2>/dev/null
    PID=""
  fi
  exit 0
fi

# ---------------------------------------------------------------------------------------------------------------
# Outside: checks, the demo medium, a private settings store and home, then one X server per screen size.
BUILD=$(cd "${1:?usage: xvfb_scale.sh BUILD_DIR}" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$BUILD/ozzel
SIM=$BUILD/ozzel-sim
DATAGEN=$BUILD/tools/datagen/datagen
for b in "$BIN" "$SIM"; do
  if [ ! -x "$b" ]; then echo "skip: $b is not built"; exit 0; fi
done
for tool in xvfb-run xdotool import convert compare; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done
MEDIUM=${OZZEL_TEST_MEDIUM:-$BUILD/test-medium}
if [ -z "${OZZEL_TEST_MEDIUM:-}" ] && [ -x "$DATAGEN" ]; then
  if ! flock "$BUILD/test-medium.lock" "$DATAGEN" --quiet "$MEDIUM"; then echo "FAIL: datagen could not build $MEDIUM"; exit 1; fi
fi
PICS=$MEDIUM/bm4/_ozzel/obrazky
if [ ! -f "$PICS/oz_uvod.bmp" ]; then echo "skip: no demo medium in $MEDIUM (datagen not built)"; exit 0; fi

# A scale that is not a whole number is refused before anything opens.
OUT=$(OZZEL_SCALE=1.5 timeout 20 "$BIN" 2>&1)
RC=$?
[ $RC -eq 1 ] && [[ $OUT == *'OZZEL_SCALE must be "fill" or a whole number of 1 or more'*'"1.5"'* ]] ||
  { echo "FAIL: OZZEL_SCALE=1.5 gave status $RC: $OUT"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
export XDG_CACHE_HOME=$WORK/home/.cache XDG_RUNTIME_DIR=$WORK/run
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export OZZEL_REGISTRY=$WORK/registry.reg
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$MEDIUM" >"$OZZEL_REGISTRY"

# The animals of the home scene and the sounds' animals, from the simulator (the same program, headless).
SIM_SCRIPT='wait 700
key esc
click 72 446
wait 300
dump'
for n in 1 2 3 4 5 6 7 8 9 10; do SIM_SCRIPT+=$'\n'"animal $n"; done
SIM_OUT=$(timeout 60 "$SIM" --data "$MEDIUM" --registry "$WORK/sim.reg" --seed 1 2>/dev/null <<<"$SIM_SCRIPT")
ANIMAL_POINTS=$(awk '$2 == "animal" && $4 != "none" { printf "%s:%s,%s ", $3, $4, $5 }' <<<"$SIM_OUT")
SOUND_ANIMALS=$(awk '$2 == "questions" { for (i = 3; i <= NF; i++) { split($i, q, ":"); if (q[1] == 3) printf "%s:%s ", q[4], q[3] } }' <<<"$SIM_OUT")
[ -n "$ANIMAL_POINTS" ] || { echo "FAIL: the simulator gave no animal points"; exit 1; }
# The sky of the home scene is black in its hit map.
BLACK_X=600 BLACK_Y=20
[ "$(convert "$SRC/resources/data/RGB_doma.bmp" -crop "1x1+$BLACK_X+$BLACK_Y" -depth 8 txt:- | grep -c '#000000')" = 1 ] ||
  { echo "FAIL: ($BLACK_X, $BLACK_Y) is not black in the home hit map"; exit 1; }
export ANIMAL_POINTS SOUND_ANIMALS BLACK_X BLACK_Y
convert "$PICS/oz_uvod.bmp" "$WORK/intro.bmp"

export OZZEL_TRACE=1 SDL_AUDIODRIVER=dummy
unset OZZEL_WINDOWED OZZEL_SCALE
for screen in "1366 768 8 5" "1920 1080 2 1 2" "3840 2160 9 2"; do
  read -r sw sh num den ask <<<"$screen"
  OZZEL_XVFB_INNER=1 timeout 150 xvfb-run -a -s "-screen 0 ${sw}x${sh}x24" bash "$0" "$BIN" "$WORK" "$sw" "$sh" "$num" "$den" "${ask:-}"
  RC=$?
  [ -n "${OZZEL_KEEP_SHOTS:-}" ] && mkdir -p "$OZZEL_KEEP_SHOTS" && cp "$WORK"/scene-*.png "$OZZEL_KEEP_SHOTS"/ 2>/dev/null
  if [ $RC -ne 0 ]; then
    [ $RC -eq 124 ] && echo "FAIL: the ${sw}x$sh run ran out of time"
    echo "--- trace (last lines) ---"
    tail -n 20 "$WORK/trace-${sw}x$sh.txt" 2>/dev/null
    [ -f "$WORK/failure.png" ] && cp "$WORK/failure.png" "$BUILD/xvfb-scale-failure.png" && echo "screen kept in $BUILD/xvfb-scale-failure.png"
    exit 1
  fi
done
rm -f "$BUILD/xvfb-scale-failure.png"
echo "ok"
