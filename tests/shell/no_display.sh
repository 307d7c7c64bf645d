#!/usr/bin/env bash
# Without any display the real program says so on stderr and ends with status 1, instead of running
# where nobody can see it.
set -u
build=${1:?build dir}
[ -x "$build/ozzel" ] || { echo "skip: $build/ozzel not built"; exit 0; }
# A machine with a DRM device could show the game on the console; that is not this case.
[ -e /dev/dri ] && { echo "skip: /dev/dri present"; exit 0; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER HOME="$tmp" XDG_CONFIG_HOME="$tmp" \
  OZZEL_REGISTRY="$tmp/registry.reg" SDL_AUDIODRIVER=dummy timeout 20 "$build/ozzel" 2>"$tmp/err"
code=$?
grep -v '^ALSA\|XDG_RUNTIME_DIR' "$tmp/err"
[ "$code" -eq 1 ] || { echo "FAIL: exit status $code, expected 1"; exit 1; }
grep -q "ozzel: cannot open the display" "$tmp/err" || { echo "FAIL: no message on stderr"; exit 1; }
[ ! -e "$tmp/registry.reg" ] || { echo "FAIL: the settings were touched"; exit 1; }
echo ok
