#!/bin/bash
# How the real program ends under pressure: a kill during the waiting screen takes the helper and its
# half-made medium with it; requests to come to the front racing the exit never hang the game (50 runs);
# a later launch never waits for a stopped game.
# Usage: xvfb_ends.sh BUILD_DIR. Skips (exit 0) when the program, datagen, perl or the X tools are not there.
set -u

# ---------------------------------------------------------------------------------------------------------------
# Inside the X server (the script runs itself under xvfb-run).
if [ "${OZZEL_XVFB_INNER:-}" = 1 ]; then
  BUILD=$1 WORK=$2
  BIN=$BUILD/ozzel DATAGEN=$BUILD/tools/datagen/datagen
  export XDG_RUNTIME_DIR=$WORK/run
  SOCK=$XDG_RUNTIME_DIR/ozzel-${DISPLAY%.*}.socket
  PID=""
  fail() { echo "FAIL: $*"; [ -n "$PID" ] && kill -9 "$PID" 2>/dev/null; exit 1; }
  # Waits up to SECONDS for process PID to end; false when it did not.
  ended_within() {
    local end=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
      [ $SECONDS -ge $end ] && return 1
      sleep 0.05
    done
  }
  until_traced() {  # FILE TEXT SECONDS
    local end=$((SECONDS + $3))
    until grep -q -- "$2" "$1"; do
      kill -0 "$PID" 2>/dev/null || fail "the game ended before '$2'"
      [ $SECONDS -ge $end ] && fail "no '$2' within $3 s"
      sleep 0.05
    done
  }

  # 1. A kill while the medium is being made: the game ends at once with its helper, nothing half-made stays.
  # The datagen the game runs, on one thread so that the kill surely comes while it works.
  printf '#!/bin/sh\nexec "%s" --jobs 1 "$@"\n' "$DATAGEN" >"$WORK/datagen-1"
  chmod +x "$WORK/datagen-1"
  for sig in TERM HUP; do
    medium=$WORK/medium-$sig
    OZZEL_MEDIUM=$medium OZZEL_LANGUAGE=cs OZZEL_DATAGEN=$WORK/datagen-1 OZZEL_TRACE=1 "$BIN" 2>"$WORK/wait-$sig.txt" &
    PID=$!
    until_traced "$WORK/wait-$sig.txt" " show cekani$" 60
    end=$((SECONDS + 60))
    until ls -d "$medium"/bm4/_ozzel.tmp-* >/dev/null 2>&1; do
      [ $SECONDS -ge $end ] && fail "datagen made no temporary folder within 60 s"
      sleep 0.05
    done
    helper=$(pgrep -f -- "--jobs 1 --progress --language cs $medium" | head -1)
    [ -n "$helper" ] || fail "no datagen process"
    group=$(ps -o pgid= -p "$helper" | tr -d ' ')
    kill -"$sig" "$PID"
    ended_within "$PID" 30 || fail "SIG$sig during the waiting screen: still running after 30 s"
    wait "$PID"
    rc=$?
    [ "$rc" -eq 0 ] || fail "SIG$sig during the waiting screen: exit status $rc"
    PID=""
    left=$(pgrep -g "$group" | tr '\n' ' ')
    [ -z "$left" ] || { ps -o pid,args -g "$group"; fail "SIG$sig: the helper's processes live on: $left"; }
    ls -d "$medium"/bm4/_ozzel.* 2>/dev/null && fail "SIG$sig: a half-made medium stayed behind"
    echo "ok: SIG$sig during the waiting screen"
  done

  # 2. Later launches asking in a tight loop while the game is told to end: it ends every time.
  for run in $(seq 1 50); do
    OZZEL_TRACE=1 "$BIN" 2>"$WORK/race.txt" &
    PID=$!
    end=$((SECONDS + 30))
    until [ -S "$SOCK" ]; do
      kill -0 "$PID" 2>/dev/null || fail "run $run: the game ended before it listened"
      [ $SECONDS -ge $end ] && fail "run $run: no socket within 30 s"
      sleep 0.01
    done
    perl -MSocket -MIO::Socket::UNIX -MTime::HiRes=time -e '
      $SIG{PIPE} = "IGNORE";  # the game may hang up first
      my $end = time + 2.5;
      while (time < $end) {
        my $s = IO::Socket::UNIX->new(Peer => $ARGV[0], Type => SOCK_STREAM) or next;
        print $s "raise\n";
        close $s;
      }' "$SOCK" &
    asker=$!
    sleep 1
    kill -TERM "$PID"
    if ! ended_within "$PID" 20; then
      kill "$asker" 2>/dev/null
      tail -n 5 "$WORK/race.txt"
      fail "run $run: the game hangs at its exit"
    fi
    wait "$PID" || fail "run $run: exit status $?"
    PID=""
    kill "$asker" 2>/dev/null  # the race is over with the game
    wait "$asker"
  done
  echo "ok: 50 exits while later launches ask"

  # 3. A stopped game: later launches still end, quietly, also once its socket's queue is full.
  "$BIN" 2>/dev/null &
  PID=$!
  end=$((SECONDS + 30))
  until [ -S "$SOCK" ]; do [ $SECONDS -ge $end ] && fail "no socket"; sleep 0.05; done
  kill -STOP "$PID"
  for n in $(seq 1 8); do
    "$BIN" 2>"$WORK/later.txt" &
    later=$!
    if ! ended_within "$later" 30; then
      kill -9 "$later"; kill -CONT "$PID"; fail "later launch $n waits for a stopped game"
    fi
    wait "$later" || fail "later launch $n ended with status $?"
    grep -q "already running" "$WORK/later.txt" || fail "later launch $n did not say why it ended"
  done
  kill -CONT "$PID"
  kill -TERM "$PID"
  ended_within "$PID" 30 || fail "the game did not end after it was continued"
  echo "ok: later launches do not wait for a stopped game"
  exit 0
fi

# ---------------------------------------------------------------------------------------------------------------
BUILD=${1:?usage: xvfb_ends.sh BUILD_DIR}
BUILD=$(cd "$BUILD" && pwd)
for tool in xvfb-run perl pgrep; do
  command -v "$tool" >/dev/null || { echo "skip: $tool is not installed"; exit 0; }
done
[ -x "$BUILD/ozzel" ] && [ -x "$BUILD/tools/datagen/datagen" ] || { echo "skip: ozzel or datagen not built"; exit 0; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -m 700 "$WORK/run" "$WORK/home"
env -i PATH=/usr/bin:/bin HOME="$WORK/home" OZZEL_REGISTRY="$WORK/registry.reg" SDL_AUDIODRIVER=dummy \
  OZZEL_XVFB_INNER=1 timeout 280 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BUILD" "$WORK"
