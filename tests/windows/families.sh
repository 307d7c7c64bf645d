#!/bin/bash
# Families outside the happy path, under wine in a virtual X server: a user named Jiří on a German Windows
# installs silently and gets the German medium and Start-menu entries; the game speaks its intro and its
# first question (the trace, and what an ALSA file device records); a shutdown with the game open
# (wineboot --end-session) counts the start and keeps the answers; a speech level of 50 % is about -6 dB
# of the level 100; a Dutch Windows updates the same install with the English medium; an install asked
# into a second folder updates the first; removing an orphaned second copy leaves the one in use whole.
# Usage: families.sh WINDOWS_BUILD [LINUX_BUILD]. Traces and recordings are kept in WINDOWS_BUILD/families-test/.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WIN=$(cd "${1:?usage: families.sh WINDOWS_BUILD [LINUX_BUILD]}" && pwd)
LINUX=$(cd "${OZZEL_LINUX_BUILD:-${2:-$ROOT/build}}" && pwd)
SETUP=$(ls "$WIN"/ozzel-setup-*.exe 2>/dev/null | head -1)
KEEP=$WIN/families-test
PID=""
POLL=0.2
. "$ROOT/tests/shell/harness.bash"
on_fail() { echo "traces and recordings are kept in $KEEP"; }

if [ "${OZZEL_XVFB_INNER:-}" != 1 ]; then
  [ -n "$SETUP" ] || fail "no installer in $WIN: scripts/build-windows --installer makes it"
  [ -x "$LINUX/ozzel-sim" ] || fail "$LINUX/ozzel-sim is not built"
  for tool in xvfb-run xdotool import sox localedef wine; do command -v "$tool" >/dev/null || fail "$tool is not installed"; done
  # The locales a foreign Windows needs, made once into the build (the system's list stays as it is).
  for l in de_DE nl_NL; do
    if [ ! -d "$WIN/locales/$l.UTF-8" ]; then
      mkdir -p "$WIN/locales"
      localedef -i "$l" -f UTF-8 "$WIN/locales/$l.UTF-8" 2>/dev/null || [ -d "$WIN/locales/$l.UTF-8" ] ||
        fail "localedef cannot make $l.UTF-8"
    fi
  done
  WORK=$(mktemp -d)
  trap 'rm -rf "$KEEP"; cp -r "$WORK" "$KEEP" 2>/dev/null; rm -rf "$WORK"' EXIT
  OZZEL_XVFB_INNER=1 WORK=$WORK SETUP=$SETUP LINUX=$LINUX timeout 800 \
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$WIN"
  rc=$?
  [ $rc -eq 124 ] && { echo "FAIL: the test ran out of time"; exit 1; }
  exit $rc
fi

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server.
export LOCPATH=$WIN/locales USER=Jiří LOGNAME=Jiří
WINE_RUN=$ROOT/scripts/wine-run
PREFIX=$WIN/wineprefix-families
export WINEPREFIX=$PREFIX
# Windows' language follows the locale wine starts in (the test's own tools keep theirs).
WLANG=de_DE.UTF-8
wl() { LANG=$WLANG LC_ALL=$WLANG "$WINE_RUN" "$PREFIX" "$@"; }
# The same in the background: `game_start ... &` leaves $! the game's own process.
game_start() {
  export LANG=$WLANG LC_ALL=$WLANG
  exec "$WINE_RUN" "$PREFIX" "$@"
}
# What wine plays goes to files, one a stream: each play opens the device anew.
REC=$WORK/rec
mkdir -p "$REC"
# (A "%" in the name would be the device's own placeholder: each play's shell names its file by its pid.)
printf '</usr/share/alsa/alsa.conf>\npcm.!default { type file slave.pcm "quiet" file "|cat > %s/play-$$.wav" format "wav" }\npcm.quiet { type null }\nctl.!default { type null }\n' \
  "$REC" >"$WORK/asoundrc"
export ALSA_CONFIG_PATH=$WORK/asoundrc
wreg() { wl reg "$@"; }
wl cmd /c exit 0 || fail "wine cannot run in $PREFIX"
wineserver -k 2>/dev/null  # restarted inside this X server
wineserver -w 2>/dev/null
[ -d "$PREFIX/drive_c/users/Jiří" ] || fail "the prefix's user is not Jiří: $(ls "$PREFIX/drive_c/users")"
ODKLON='HKCU\Software\Orvel Team\BM4\Odklon'
OBECNE='HKCU\Software\Orvel Team\BM4\Nastaveni - obecne'
OZZEL='HKCU\Software\Ozzel'
UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ozzel'
INST=$PREFIX/drive_c/users/Jiří/AppData/Local/Programs/Ozzel
MENU="$PREFIX/drive_c/users/Jiří/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
SECOND="$PREFIX/drive_c/Hry pro děti"
COPY=$PREFIX/drive_c/Kopie
for k in 'HKCU\Software\Orvel Team' "$OZZEL" "$UNINST"; do wreg delete "$k" /f >/dev/null 2>&1; done
wreg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null
rm -rf "$INST" "$MENU"/Ozzel*.lnk "$SECOND" "$COPY"
value() { wreg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }

# No medium yet: the data-path box asks in the language of Windows (the build's program, its resources
# from the source tree).
nomedium() {
  local lang=$1 error=$2 caption=$3
  TRACE=$WORK/nomedium-$lang-trace.txt
  OZZEL_TRACE=1 OZZEL_RESOURCES="Z:$ROOT/resources/data" WLANG=$lang game_start "$WIN/ozzel.exe" 2>"$TRACE" &
  PID=$!
  wait_for 60 "no medium, $lang: the box of the missing data" traced " msgbox error "
  grep -q " msgbox error $error|" "$TRACE" || fail "no medium, $lang: the box is not in its language: $(grep " msgbox " "$TRACE")"
  sleep 0.5
  xdotool key Return
  wait_for 30 "no medium, $lang: the data-path box" traced " input "
  grep " input " "$TRACE" | grep -q " input $caption|" || fail "no medium, $lang: the prompt is not in its language: $(grep " input " "$TRACE")"
  kill "$PID"
  wait "$PID" 2>/dev/null
  PID=""
}
nomedium de_DE.UTF-8 "Fehler" "Ort der Programmdaten"
nomedium nl_NL.UTF-8 "Error" "Where the program's data is"

echo "the installer's page of components: a click on the Demo group, on English, on the group again"
wl "$SETUP" &
END=$((SECONDS + 60))
until SW=$(xdotool search --name "Ozzel" 2>/dev/null | head -1) && [ -n "$SW" ]; do
  [ $SECONDS -ge $END ] && fail "no installer window"
  sleep 0.5
done
sleep 2
# The tree's boxes, in the window: the group, then each medium a row of 16 pixels lower.
for at in "203 135" "223 185" "203 135"; do
  xdotool mousemove --window "$SW" $at click 1
  sleep 0.5
done
import -window root "$WORK/components.png"
xdotool key Return  # on to the folder
sleep 1
xdotool key Return  # install
END=$((SECONDS + 120))
until [ -f "$INST/uninstall.exe" ] && [ -n "$(value "$UNINST" MediumLanguage)" ]; do
  [ $SECONDS -ge $END ] && fail "the install from the installer's pages did not finish"
  sleep 1
done
sleep 2
wineserver -k  # the installer waits on its last page
wineserver -w
[ "$(value "$UNINST" MediumLanguage)" = en ] ||
  fail "clicks on the group, English and the group installed '$(value "$UNINST" MediumLanguage)', not en (components.png)"
diff <(cd "$WIN/stage/media/en" && find . | sort) <(cd "$INST/medium" && find . | sort) >"$WORK/medium.diff" ||
  fail "more than the English medium was installed (medium.diff)"

echo "a German Windows, user Jiří: installing silently over it"
wl "$SETUP" /S || fail "the installer failed (status $?)"
[ -f "$INST/ozzel.exe" ] || fail "not installed in $INST"
[ "$(value "$UNINST" MediumLanguage)" = de ] || fail "the medium on a German Windows is '$(value "$UNINST" MediumLanguage)', not de"
[ -f "$MENU/Ozzel.lnk" ] || fail "no Start-menu entry"
[ -f "$MENU/Ozzel - Einstellungen für Eltern.lnk" ] || fail "no German parents' entry: $(ls "$MENU")"

# Where the home scene's animals are and which animal each sound means, from the Linux simulator on the
# installed medium (the answers record keeps right answers).
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

# game NAME ANSWER: starts the game, passes the no-music box, waits for the intro's speech; with ANSWER=1
# goes on to the home scene, hears the first question and answers it. Then the session ends.
game() {
  local name=$1 answer=$2
  TRACE=$WORK/$name-trace.txt
  mkdir -p "$REC/$name"
  rm -f "$REC"/*.wav
  OZZEL_TRACE=1 OZZEL_SCALE=1 game_start "$INST/ozzel.exe" 2>"$TRACE" &
  PID=$!
  wait_for 60 "$name: the no-music box" traced " msgbox plain "
  sleep 0.5
  xdotool key Return
  wait_for 30 "$name: main form" traced " bounds form_ozzel "
  read -r OX OY < <(grep " bounds form_ozzel " "$TRACE" | tail -1 | awk '{ print $4, $5 }')
  wait_for 30 "$name: the intro's speech" traced "oz_uvod.wav"
  sleep 3
  if [ "$answer" = 1 ]; then
    xdotool mousemove $((OX + 72)) $((OY + 446)) click 1
    wait_for 20 "$name: home scene" traced " show podklad$"
    wait_for 20 "$name: the first question" eval '[ -n "$(question)" ]'
    sleep 2
    local kind num right at
    read -r kind num < <(question)
    right=$num
    [ "$kind" = sound ] && right=$(lookup "$num" $SOUND_ANIMALS)
    at=$(lookup "$right" $ANIMAL_POINTS)
    [ -n "$at" ] || fail "$name: animal $right is not in the hit map"
    xdotool mousemove $((OX + ${at%,*})) $((OY + ${at#*,})) click 1
    wait_for 15 "$name: the right answer counted" traced " caption lbl_dobre 1$"
    sleep 4  # the praise speaks
    sleep 1
  fi
  echo "$name: ending the session with the game open"
  LANG=$WLANG wineboot --end-session >/dev/null 2>&1
  local end=$((SECONDS + 30))
  while alive && [ $SECONDS -lt $end ]; do sleep 0.2; done
  alive && fail "$name: the game still runs 30 s after the session ended"
  PID=""
  mv "$REC"/*.wav "$REC/$name/" 2>/dev/null
  grep -q " exit 0$" "$TRACE" || fail "$name: the game did not end as a closed window does (no 'exit 0')"
  BAD=$(grep -E " (wav|anim|midi) open-fail .*\\.(wav|avi)| picture-fail " "$TRACE")
  [ -z "$BAD" ] || fail "$name: files that did not open: $BAD"
  grep -q " wav play$" "$TRACE" || fail "$name: no speech played"
}
# The first play that reached the device in run NAME (the device is also opened to be looked at).
first_play() { find "$REC/$1" -name '*.wav' -size +20k -printf '%T@ %p\n' | sort -n | head -1 | cut -d' ' -f2-; }
# The peak and RMS level (dBFS) of a play's first two seconds of sound.
level() {
  sox --ignore-length "$1" -n silence 1 0.01 0.5% trim 0 2 stat 2>&1 |
    awk '/^Maximum amplitude/ { m = $3 } /^RMS +amplitude/ { r = $3 }
         END { if (m > 0 && r > 0) printf "%.2f %.2f\n", 20 * log(m) / log(10), 20 * log(r) / log(10) }'
}

game full 1
grep -Eq " wav open .*\\\\Jiří\\\\.*oz_uvod\\.wav" "$WORK/full-trace.txt" || fail "the intro was not opened from Jiří's folder"
[ "$(value "$OBECNE" Ozzel_starty)" = 0x1 ] || fail "the start was not counted at the session's end: $(value "$OBECNE" Ozzel_starty)"
[ -n "$(value "$OZZEL" Answers)" ] || fail "the answers were not kept at the session's end"
FIRST=$(first_play full)
[ -n "$FIRST" ] || fail "nothing reached the sound device"
N=$(find "$REC/full" -name '*.wav' -size +20k | wc -l)
[ "$N" -ge 2 ] || fail "only $N sound reached the device: the intro and the question make two at least"
read -r P100 R100 < <(level "$FIRST")
[ -n "${P100:-}" ] || fail "the intro's recording is silent"

wreg add "$OZZEL" /v SpeechVolume /t REG_DWORD /d 50 /f >/dev/null
game half 0
[ "$(value "$OBECNE" Ozzel_starty)" = 0x2 ] || fail "the second start was not counted"
read -r P50 R50 < <(level "$(first_play half)")
[ -n "${P50:-}" ] || fail "the intro at 50 % is silent"
DROP=$(awk -v a="$P100" -v b="$P50" 'BEGIN { printf "%.2f", b - a }')
DROP_RMS=$(awk -v a="$R100" -v b="$R50" 'BEGIN { printf "%.2f", b - a }')
echo "speech at 100 %: peak $P100 dBFS, RMS $R100 dBFS; at 50 %: peak $P50 dBFS, RMS $R50 dBFS ($DROP dB, RMS $DROP_RMS dB)"
awk -v d="$DROP" -v r="$DROP_RMS" 'BEGIN { exit !(d > -6.6 && d < -5.4 && r > -6.6 && r < -5.4) }' ||
  fail "50 % is $DROP dB (RMS $DROP_RMS dB), not about -6 dB"
wreg add "$OZZEL" /v SpeechVolume /t REG_DWORD /d 0 /f >/dev/null
game mute 0
MUTE=$(first_play mute)
[ -n "$MUTE" ] || fail "at level 0 nothing reached the device (the intro plays, unheard)"
read -r P0 R0 < <(level "$MUTE")
[ -z "${P0:-}" ] || fail "the speech at level 0 is heard: peak $P0 dBFS"
echo "speech at 0 %: silent"
wreg delete "$OZZEL" /v SpeechVolume /f >/dev/null

echo "a Dutch Windows: installing silently over the German install"
WLANG=nl_NL.UTF-8 wl "$SETUP" /S || fail "the Dutch install failed"
[ "$(value "$UNINST" MediumLanguage)" = en ] || fail "the medium on a Dutch Windows is '$(value "$UNINST" MediumLanguage)', not en"
diff <(cd "$WIN/stage/media/en" && find . | sort) <(cd "$INST/medium" && find . | sort) >"$WORK/medium.diff" ||
  fail "the updated medium is not the English one alone (medium.diff)"
[ -f "$MENU/Ozzel - Settings for parents.lnk" ] || fail "no English parents' entry: $(ls "$MENU")"
[ -e "$MENU/Ozzel - Einstellungen für Eltern.lnk" ] && fail "the German parents' entry stayed beside the English one"

echo "an install asked into a second folder"
WLANG=nl_NL.UTF-8 wl "$SETUP" /S '/D=C:\Hry pro děti\Ozzel řada' || fail "the second install failed"
[ -e "$SECOND/Ozzel řada/ozzel.exe" ] && fail "a second copy was installed beside the first"
# (The value's letters outside ASCII come in the console's code page: its ASCII end is enough.)
LOC=$(value "$UNINST" InstallLocation)
[[ "$LOC" == 'C:\users\'*'\AppData\Local\Programs\Ozzel' ]] || fail "the install moved: $LOC"

echo "removing an orphaned second copy"
cp -r "$INST" "$COPY"
wl 'C:\Kopie\uninstall.exe' /S || fail "the copy's uninstaller failed"
END=$((SECONDS + 60))
while [ -e "$COPY/ozzel.exe" ] && [ $SECONDS -lt $END ]; do sleep 0.5; done
sleep 1
[ -e "$COPY/ozzel.exe" ] && fail "the copy is still there 60 s after its uninstaller started"
[ -f "$MENU/Ozzel.lnk" ] || fail "removing the copy took the Start-menu entry of the one in use"
[ -f "$MENU/Ozzel - Settings for parents.lnk" ] || fail "removing the copy took the parents' entry of the one in use"
[ -n "$(value "$UNINST" DisplayName)" ] || fail "removing the copy took the entry in the list of installed programs"
[ -n "$(value "$ODKLON" kde_je_BM4)" ] || fail "removing the copy took the data root of the one in use"
[ -f "$INST/ozzel.exe" ] || fail "removing the copy took the install"
echo "ok"
