#!/usr/bin/env bash
# The Czech medium is byte for byte the same on one thread and on two while every core is busy
# (bench/determinism.sh, two rounds; the benchmark runs fifteen).
set -u
build=${1:?build dir}
src=$(cd "$(dirname "$0")/../.." && pwd)
[ -x "$build/tools/datagen/datagen" ] || { echo "skip: datagen not built"; exit 0; }
"$src/bench/determinism.sh" "$build" 2 cs || { echo "FAIL: the medium changed between rounds"; exit 1; }
echo "PASS"
