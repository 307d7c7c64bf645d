#!/usr/bin/env bash
# The build scripts on a tiny project: a failing compile ends scripts/build with a failure status and
# the compiler's error on screen (never "success" and yesterday's binaries); a good one shows progress.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/src"
cat >"$tmp/src/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.16)
project(tiny CXX)
add_executable(tiny tiny.cpp)
CM
echo 'int main() { return 0; }' >"$tmp/src/tiny.cpp"
cmake -S "$tmp/src" -B "$tmp/b" >/dev/null || { echo "FAIL: cannot configure the tiny project"; exit 1; }

"$root/scripts/cmake-build" "$tmp/b" >"$tmp/out" 2>&1
code=$?
cat "$tmp/out"
[ "$code" -eq 0 ] || { echo "FAIL: a good build reported status $code"; exit 1; }
grep -q '^\[100%\]' "$tmp/out" || { echo "FAIL: no progress shown"; exit 1; }

echo 'int main() { return missing_name_xyz; }' >"$tmp/src/tiny.cpp"
OZZEL_BUILD="$tmp/b" "$root/scripts/build" >"$tmp/out" 2>&1
code=$?
cat "$tmp/out"
[ "$code" -ne 0 ] || { echo "FAIL: scripts/build reported a failed compile as success"; exit 1; }
grep -q 'missing_name_xyz' "$tmp/out" || { echo "FAIL: the compiler's error is not shown"; exit 1; }
grep -q 'FAILED' "$tmp/out" || { echo "FAIL: no failure line"; exit 1; }
echo ok
