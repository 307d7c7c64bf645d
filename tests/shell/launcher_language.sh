#!/usr/bin/env bash
# The desktop launcher builds the demo medium in the language of the user's locale, OZZEL_LANGUAGE
# overriding it, and remakes a medium that was built in another language.
set -u
build=${1:?build dir}
src=$(cd "$(dirname "$0")/../.." && pwd)
[ -x "$build/tools/datagen/datagen" ] || { echo "skip: datagen not built"; exit 0; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# An installed layout: the launcher beside datagen, and a stand-in for the game that makes and registers the
# medium it is told of with the datagen beside it (as the game does under its waiting screen) and says it ran.
mkdir -p "$tmp/bin"
cp "$src/packaging/ozzel-start" "$tmp/bin/"
ln -s "$build/tools/datagen/datagen" "$tmp/bin/datagen"
cat >"$tmp/bin/ozzel" <<'EOF'
#!/bin/sh
if [ -n "${OZZEL_MEDIUM:-}" ]; then
  mkdir -p "$OZZEL_MEDIUM" && "$(dirname "$0")/datagen" --progress --language "$OZZEL_LANGUAGE" "$OZZEL_MEDIUM" >/dev/null &&
    "$(dirname "$0")/datagen" --quiet --register "$OZZEL_MEDIUM" || exit 1
fi
echo game started
EOF
chmod +x "$tmp/bin/ozzel" "$tmp/bin/ozzel-start"
stamp=$tmp/home/.local/share/ozzel/medium/bm4/_ozzel/.datagen-stamp

launch() {  # launch ENV...: runs the launcher with a fresh locale environment
  env -u LC_ALL -u LC_MESSAGES -u LANG -u OZZEL_LANGUAGE -u OZZEL_MEDIUM -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
    HOME="$tmp/home" OZZEL_REGISTRY="$tmp/registry.reg" "$@" "$tmp/bin/ozzel-start" >"$tmp/out" 2>&1
}

launch LANG=de_DE.UTF-8 || { cat "$tmp/out"; echo "FAIL: the launcher failed"; exit 1; }
grep -q "game started" "$tmp/out" || { cat "$tmp/out"; echo "FAIL: the game did not start"; exit 1; }
grep -qx "language de" "$stamp" || { cat "$stamp"; echo "FAIL: LANG=de_DE.UTF-8 did not give a German medium"; exit 1; }
grep -q '"kde_je_BM4"=' "$tmp/registry.reg" || { echo "FAIL: the medium was not registered"; exit 1; }

launch LANG=de_DE.UTF-8 OZZEL_LANGUAGE=pl || { cat "$tmp/out"; echo "FAIL: the launcher failed"; exit 1; }
grep -qx "language pl" "$stamp" || { cat "$stamp"; echo "FAIL: OZZEL_LANGUAGE=pl did not remake the medium in Polish"; exit 1; }
# Without its datagen the launcher says so (and the game, told of the medium, says it on its screen).
rm "$tmp/bin/datagen"
launch LANG=de_DE.UTF-8 OZZEL_LANGUAGE=en
grep -q "datagen is missing" "$tmp/out" || { cat "$tmp/out"; echo "FAIL: a missing datagen was not named"; exit 1; }
echo ok
