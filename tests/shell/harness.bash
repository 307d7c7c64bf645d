# The real program's test harness, sourced by the Xvfb and wine scripts: waiting for what the game shows or
# traces, failing with the last screen, and reading the trace.
# The sourcing script sets PID (the game's process), TRACE (its trace file), WORK (kept files) and may set
# SHOT (its last screenshot), POLL (seconds between looks, 0.1 unless set), FAIL_CONTEXT (said with a
# failure), LOG (whose last lines a failure shows) and define on_fail (run before a failure exits).

# Says what failed, keeps the screen in $WORK/failure.png, ends the game, exits 1.
fail() {
  echo "FAIL${FAIL_CONTEXT:+ ($FAIL_CONTEXT)}: $*"
  if [ -n "${WORK:-}" ] && [ -d "$WORK" ]; then
    import -window root "$WORK/failure.png" 2>/dev/null || { [ -f "${SHOT:-}" ] && cp "$SHOT" "$WORK/failure.png"; }
  fi
  [ -n "${PID:-}" ] && kill -9 "$PID" 2>/dev/null
  if declare -F on_fail >/dev/null; then on_fail; fi
  exit 1
}
alive() { kill -0 "$PID" 2>/dev/null; }
# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds; fails naming WHAT after SECONDS or when
# the game has ended (with its status and, given LOG, its last lines).
wait_for() {
  local secs=$1 what=$2
  shift 2
  local end=$((SECONDS + secs))
  until "$@"; do
    if ! alive; then
      wait "$PID" 2>/dev/null
      local status=$?
      fail "the game ended (status $status) while waiting for $what${LOG:+; its last lines: $(tail -n 5 "$LOG" 2>/dev/null)}"
    fi
    [ $SECONDS -ge $end ] && fail "no $what within $secs s"
    sleep "${POLL:-0.1}"
  done
}
traced() { grep -q -- "$1" "$TRACE"; }
shoot() { import -window root "$SHOT" 2>/dev/null; }
# lookup KEY KEY:VALUE...: the value for KEY.
lookup() {
  local key=$1 kv
  shift
  for kv in "$@"; do [ "${kv%%:*}" = "$key" ] && { echo "${kv#*:}"; return; }; done
}
# The first question the trace shows after the scene appeared: "animal N" or "sound N".
question() {
  awk '/ show podklad$/ { s = 1 }
       s && / wav open / { n = split($0, p, "\\"); f = p[n] }
       s && f ~ /^oz_D_[ab][0-9]+\.wav$/ { gsub(/^oz_D_[ab]|\.wav$/, "", f); print "animal", f; exit }
       s && f ~ /^oz_snd[0-9]+\.wav$/ { gsub(/^oz_snd|\.wav$/, "", f); print "sound", f; exit }' "$TRACE"
}
