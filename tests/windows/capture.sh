#!/usr/bin/env bash
# waveIn under wine, hearing a known tone: ALSA's file plugin plays a raw file as the default input.
#   tests/windows/capture.sh WINDOWS_BUILD
set -euo pipefail
build=$(cd "${1:?usage: capture.sh WINDOWS_BUILD}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Half of full scale, in the format the program asks for (16-bit mono 22050 Hz): wine passes it through.
sox -n -r 22050 -c 1 -b 16 -e signed "$work/in.raw" synth 30 sine 440 vol 0.5
printf '</usr/share/alsa/alsa.conf>\npcm.!default { type file slave.pcm "nul" file "/dev/null" infile "%s/in.raw" format "raw" }\npcm.nul { type null }\nctl.!default { type null }\n' \
  "$work" >"$work/asoundrc"
ALSA_CONFIG_PATH=$work/asoundrc OZZEL_CAPTURE_PEAK=0.5 \
  "$root/scripts/wine-run" "$build/wineprefix" "$build/tests/test_platform.exe" --gtest_filter='Win32Capture.*'
