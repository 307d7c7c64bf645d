#!/bin/bash
# The Windows installer and the installed game under wine in a virtual X server at 1920 x 1080: a silent
# install (files, data root, Start-menu entry, list of installed programs); the game's intro and home scene
# look as the Linux program's, pixel for pixel outside text and moving parts; a wrong and a right answer are
# counted; the parents' gate opens from the keyboard and Esc closes it; the door ends it; the counters are
# in the registry; a silent uninstall leaves only the user's settings.
# Usage: installed_game.sh WINDOWS_BUILD LINUX_BUILD. The screens and traces are kept in WINDOWS_BUILD/window-test/.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server.
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  WORK=$1
  KIOSK=${2:-0}
  PID="" POLL=0.2
  . "$ROOT/tests/shell/harness.bash"
  K=2  # 1920 x 1080 holds the 640 x 480 game twice over, on both systems
  # The main form's client point X Y on the screen.
  at() { echo $((K * (OX + $1))) $((K * (OY + $2))); }
  click_client() { xdotool mousemove $(at "$1" "$2") click 1; }
  # The game area of the screen now, with the moving parts and text (RECTS: "x y w h" in client
  # coordinates) blacked out, into FILE.
  game_area() {
    local file=$1 rects=$2 draw="" r
    while read -r x y w h; do
      [ -n "$x" ] && draw+=" -draw 'rectangle $((K * x)),$((K * y)) $((K * (x + w) - 1)),$((K * (y + h) - 1))'"
    done <<<"$rects"
    import -window root "$WORK/screen.png" 2>/dev/null || return 1
    eval convert "'$WORK/screen.png[$((K * 640))x$((K * 480))+$((K * OX))+$((K * OY))]'" +repage -fill black $draw "'$file'"
  }
  # The examiner talks, the scene buttons blink and light up under the pointer: left out of the intro.
  INTRO_MASK="537 233 100 170
40 414 475 64"
  # The counts and their colon are text; the examiner still moves.
  SCENE_MASK="537 233 100 170
366 430 114 30"

  # play NAME COMMAND...: runs one program through the intro, the home scene, a wrong and a right answer
  # and the door, keeping its screens as NAME-intro.png and NAME-scene.png.
  play() {
    local name=$1
    shift
    TRACE=$WORK/$name-trace.txt
    "$@" 2>"$TRACE" &
    PID=$!
    if [ "$name" = windows ]; then
      # No MIDI device under wine here: the program says it cannot play its music, once, at the start.
      wait_for 60 "$name: the no-music box" traced " msgbox plain .*|Nenalez soubor s hudbou:"
      sleep 0.5
      xdotool key Return
    fi
    wait_for 60 "$name: main form in the trace" traced " bounds form_ozzel "
    read -r OX OY < <(grep " bounds form_ozzel " "$TRACE" | tail -1 | awk '{ print $4, $5 }')
    [ "$OX $OY" = "160 30" ] || fail "$name: main form at $OX,$OY, not centred at 160,30 on the 960 x 540 logical screen"
    wait_for 30 "$name: intro (show btn_obraz1)" traced " show btn_obraz1$"
    xdotool mousemove 0 0
    sleep 1.5
    game_area "$WORK/$name-intro.png" "$INTRO_MASK" || fail "$name: no screenshot"
    click_client 72 446
    wait_for 20 "$name: home scene (show podklad)" traced " show podklad$"
    wait_for 20 "$name: first question" eval '[ -n "$(question)" ]'
    sleep 1.5
    game_area "$WORK/$name-scene.png" "$SCENE_MASK" || fail "$name: no screenshot"
    read -r QKIND QNUM < <(question)
    local right=$QNUM wrong=5
    [ "$QKIND" = sound ] && right=$(lookup "$QNUM" $SOUND_ANIMALS)
    [ "$right" = 5 ] && wrong=7
    local right_at wrong_at
    right_at=$(lookup "$right" $ANIMAL_POINTS)
    wrong_at=$(lookup "$wrong" $ANIMAL_POINTS)
    [ -n "$right_at" ] && [ -n "$wrong_at" ] || fail "$name: animal $right or $wrong is not in the hit map"
    echo "$name: question $QKIND $QNUM, animal $right at $right_at"
    click_client ${wrong_at/,/ }
    wait_for 15 "$name: bad answer counted" traced " caption lbl_spatne 1$"
    click_client ${right_at/,/ }
    wait_for 15 "$name: good answer counted" traced " caption lbl_dobre 1$"
    # Keys through the window: the parents' gate is Ctrl+Shift+P held 3 s (the system repeats it meanwhile).
    xdotool keydown ctrl+shift+p
    sleep 3.5
    xdotool keyup ctrl+shift+p
    wait_for 10 "$name: the parents' page after Ctrl+Shift+P held" traced " parents open$"
    xdotool key Escape
    wait_for 10 "$name: the parents' page closed by Esc" traced " parents close cancelled$"
    click_client 586 447  # the door
    local end=$((SECONDS + 20))
    while alive && [ $SECONDS -lt $end ]; do sleep 0.2; done
    alive && fail "$name: still running 20 s after the door was clicked"
    wait "$PID"
    local rc=$?
    PID=""
    [ "$rc" -eq 0 ] || fail "$name: exit status $rc"
    grep -q " exit 0$" "$TRACE" || fail "$name: no 'exit 0' in the trace"
  }

  # wine's desktop process takes its display when it starts: one started outside this X server (by the
  # registry calls) would show the game on wine's 1024 x 768 stand-in screen.
  WINEPREFIX=$PREFIX wineserver -k 2>/dev/null
  WINEPREFIX=$PREFIX wineserver -w 2>/dev/null

  if [ "$KIOSK" = 1 ]; then
    # The parents' kiosk: Alt+F4 does not close the game.
    TRACE=$WORK/kiosk-trace.txt
    env OZZEL_TRACE=1 "$WINE_RUN" "$PREFIX" "$INST/ozzel.exe" 2>"$TRACE" &
    PID=$!
    wait_for 60 "kiosk: the no-music box" traced " msgbox plain "
    sleep 0.5
    xdotool key Return
    wait_for 60 "kiosk: main form" traced " show form_ozzel$"
    sleep 1
    xdotool key alt+F4
    sleep 3
    alive && ! traced " exit " || fail "kiosk: Alt+F4 ended the game"
    kill -9 "$PID"
    exit 0
  fi

  play linux env OZZEL_REGISTRY="$WORK/linux.reg" SDL_AUDIODRIVER=dummy OZZEL_TRACE=1 "$LINUX_BIN"
  play windows env OZZEL_TRACE=1 "$WINE_RUN" "$PREFIX" "$INST/ozzel.exe"
  for s in intro scene; do
    n=$(compare -metric AE "$WORK/linux-$s.png" "$WORK/windows-$s.png" "$WORK/diff-$s.png" 2>&1)
    echo "$s: $n pixels differ"
    [ "${n%% *}" = 0 ] || fail "the Windows $s differs from the Linux one (diff-$s.png)"
  done
  exit 0
fi

# ---------------------------------------------------------------------------------------------------------------
# Outside: the installer in a prefix of its own, then the two programs in one X server.
WIN=$(cd "${1:?usage: installed_game.sh WINDOWS_BUILD LINUX_BUILD}" && pwd)
# OZZEL_LINUX_BUILD (scripts/test) wins over the configured one.
LINUX=$(cd "${OZZEL_LINUX_BUILD:-${2:?usage: installed_game.sh WINDOWS_BUILD LINUX_BUILD}}" && pwd)
SETUP=$(ls "$WIN"/ozzel-setup-*.exe 2>/dev/null | head -1)
KEEP=$WIN/window-test
fail() {
  echo "FAIL: $*"
  [ -n "${WORK:-}" ] && echo "screens and traces are kept in $KEEP"
  exit 1
}
[ -n "$SETUP" ] || fail "no installer in $WIN: scripts/build-windows --installer makes it"
for b in "$LINUX/ozzel" "$LINUX/ozzel-sim"; do [ -x "$b" ] || fail "$b is not built"; done
for tool in xvfb-run xdotool import convert compare wine; do command -v "$tool" >/dev/null || fail "$tool is not installed"; done

WORK=$(mktemp -d)
trap 'rm -rf "$KEEP"; cp -r "$WORK" "$KEEP" 2>/dev/null; rm -rf "$WORK"' EXIT
WINE_RUN=$ROOT/scripts/wine-run
PREFIX=$WIN/wineprefix-install
wreg() { "$WINE_RUN" "$PREFIX" reg "$@"; }
ODKLON='HKCU\Software\Orvel Team\BM4\Odklon'
OBECNE='HKCU\Software\Orvel Team\BM4\Nastaveni - obecne'
UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ozzel'
# A clean user: no earlier install, settings or counters.
"$WINE_RUN" "$PREFIX" cmd /c exit 0 || fail "wine cannot run in $PREFIX"
for k in 'HKCU\Software\Orvel Team' 'HKCU\Software\Ozzel' "$UNINST"; do wreg delete "$k" /f >/dev/null 2>&1; done
# On Xvfb wine finds the screen's size through the X server itself, not RandR.
wreg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null || fail "cannot set up wine"
WINEPREFIX=$PREFIX wineserver -k 2>/dev/null  # the display is looked at when the server starts
WINEPREFIX=$PREFIX wineserver -w 2>/dev/null
WUSER=$(ls "$PREFIX/drive_c/users" | grep -v -x Public | head -1)
INST=$PREFIX/drive_c/users/$WUSER/AppData/Local/Programs/Ozzel
LNK="$PREFIX/drive_c/users/$WUSER/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Ozzel.lnk"
rm -rf "$INST" "$LNK"

echo "installing $(basename "$SETUP") silently"
"$WINE_RUN" "$PREFIX" "$SETUP" /S /LANG=cs || fail "the installer failed (status $?)"
for f in ozzel.exe uninstall.exe resources/sipka1.cur fonts/LiberationSans-Bold.ttf medium/bm4/_ozzel/zvuky/oz_uvod.wav; do
  [ -f "$INST/$f" ] || fail "not installed: $f"
done
[ -f "$LNK" ] || fail "no Start-menu entry"
ROOT_WIN="C:\\users\\$WUSER\\AppData\\Local\\Programs\\Ozzel\\medium"
wreg query "$ODKLON" /v kde_je_BM4 | grep -qF "$ROOT_WIN" || fail "kde_je_BM4 is not $ROOT_WIN: $(wreg query "$ODKLON" 2>&1)"
wreg query "$UNINST" /v DisplayName | grep -q Ozzel || fail "not in the list of installed programs"

# Where the home scene's animals are and which animal each sound means, from the simulator.
SIM_SCRIPT='wait 700
key esc
click 72 446
wait 300
dump'
for n in 1 2 3 4 5 6 7 8 9 10; do SIM_SCRIPT+=$'\n'"animal $n"; done
SIM_OUT=$(timeout 60 "$LINUX/ozzel-sim" --data "$INST/medium" --registry "$WORK/sim.reg" --seed 1 2>/dev/null <<<"$SIM_SCRIPT")
ANIMAL_POINTS=$(awk '$2 == "animal" && $4 != "none" { printf "%s:%s,%s ", $3, $4, $5 }' <<<"$SIM_OUT")
SOUND_ANIMALS=$(awk '$2 == "questions" { for (i = 3; i <= NF; i++) { split($i, q, ":"); if (q[1] == 3) printf "%s:%s ", q[4], q[3] } }' <<<"$SIM_OUT")
[ -n "$ANIMAL_POINTS" ] || fail "the simulator gave no animal points"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvel Team\\BM4\\Odklon]\n"kde_je_BM4"="%s"\n' "$INST/medium" >"$WORK/linux.reg"

export ANIMAL_POINTS SOUND_ANIMALS WINE_RUN PREFIX INST LINUX_BIN=$LINUX/ozzel OZZEL_XVFB_INNER=1
unset OZZEL_WINDOWED
# Whole blocks on both systems, so that the two screens can be compared pixel for pixel.
export OZZEL_SCALE=2
timeout 300 xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$WORK"
RC=$?
unset OZZEL_XVFB_INNER
[ $RC -eq 124 ] && fail "the test ran out of time"
[ $RC -eq 0 ] || fail "in the X server (status $RC)"
BAD=$(grep -v " msgbox plain .*|Nenalez soubor s hudbou:" "$WORK/windows-trace.txt" |
  grep -E " (msgbox|input) | (wav|anim) open-fail | picture-fail ")
[ -z "$BAD" ] || fail "unexpected trace lines: $BAD"
# No MIDI device under wine here: the music channel does not open, and nothing else suffers from it.
grep -q " midi open-fail " "$WORK/windows-trace.txt" ||
  fail "the music channel was never tried"
grep -q " wav play$" "$WORK/windows-trace.txt" || fail "no speech played"
wreg query "$OBECNE" /v Ozzel_starty | grep -q 0x1 || fail "the start count is not in the registry: $(wreg query "$OBECNE" 2>&1)"

wreg add 'HKCU\Software\Ozzel' /v Kiosk /t REG_DWORD /d 1 /f >/dev/null || fail "cannot turn the kiosk on"
OZZEL_XVFB_INNER=1 timeout 200 xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$WORK" 1 || fail "the kiosk"

echo "uninstalling silently"
"$WINE_RUN" "$PREFIX" "$INST/uninstall.exe" /S || fail "the uninstaller failed"
END=$((SECONDS + 60))
while [ -e "$INST" ] && [ $SECONDS -lt $END ]; do sleep 0.5; done
[ -e "$INST" ] && fail "still installed 60 s after the uninstaller started: $(find "$INST" | head)"
[ -f "$LNK" ] && fail "the Start-menu entry is still there"
wreg query "$UNINST" >/dev/null 2>&1 && fail "still in the list of installed programs"
wreg query "$ODKLON" /v kde_je_BM4 >/dev/null 2>&1 && fail "the data root of the removed medium is still registered"
wreg query "$OBECNE" /v Ozzel_starty | grep -q "0x[1-9]" || fail "the uninstaller took the user's counters"
echo "ok"
