#!/bin/bash
# The Debian package: built by scripts/package, checked by lintian, appstreamcli and desktop-file-validate, its
# files and versions, and its launcher run by a new user from the unpacked tree; with OZZEL_TEST_INSTALL=1
# (a throw-away machine) also installed system-wide, run, and removed without a trace.
# Usage: package.sh BUILD_DIR. Skips (exit 0) when a packaging or X tool is missing.
set -u
BUILD=$(cd "${1:?usage: package.sh BUILD_DIR}" && pwd) || exit 1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate xvfb-run xdotool convert compare; do
  if ! command -v "$tool" >/dev/null; then echo "skip: $tool is not installed"; exit 0; fi
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# ---------------------------------------------------------------------------------------------------------------
echo "== scripts/package"
OZZEL_BUILD=$BUILD "$ROOT/scripts/package" >"$WORK/package.log" 2>&1 || { tail -n 30 "$WORK/package.log"; fail "scripts/package failed"; }
DEB=$(tail -n 1 "$WORK/package.log")
[ -f "$DEB" ] || fail "scripts/package did not name a package: $DEB"
VERSION=$(dpkg-deb -f "$DEB" Version)
ARCH=$(dpkg-deb -f "$DEB" Architecture)
[ "$DEB" = "$BUILD/ozzel_${VERSION}_${ARCH}.deb" ] || fail "package named $DEB, not ozzel_${VERSION}_${ARCH}.deb in $BUILD"
echo "$(basename "$DEB"): $(du -k "$DEB" | cut -f1) KiB, installed $(dpkg-deb -f "$DEB" Installed-Size) KiB"

# What the binaries link (from dpkg-shlibdeps) and the data they open at run time.
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
echo "Depends: $DEPENDS"
for p in libc6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libespeak-ng1 fonts-liberation2 fonts-dejavu-core \
         timgm6mb-soundfont espeak-ng-data festival festival-czech festvox-czech-dita festvox-us-slt-hts; do
  grep -qE "(^|, |\| )$p( |,|$)" <<<"$DEPENDS" || fail "Depends lacks $p"
done

# Exactly these files: the programs, the launcher, the program's pictures, desktop entry, icons, AppStream data,
# manual pages and the Debian documents.
{
  printf '%s\n' /usr/games/datagen /usr/games/ozzel /usr/games/ozzel-start /usr/lib/ozzel/datagen-festival \
    /usr/share/applications/ozzel.desktop \
    /usr/share/doc/ozzel/changelog.gz /usr/share/doc/ozzel/copyright /usr/share/man/man1/datagen.1.gz \
    /usr/share/man/man6/ozzel.6.gz /usr/share/man/man6/ozzel-start.6.gz /usr/share/metainfo/io.github.ozzel.ozzel.metainfo.xml
  for s in 32 48 64 128 256; do echo "/usr/share/icons/hicolor/${s}x$s/apps/ozzel.png"; done
  for f in "$ROOT"/resources/data/*; do echo "/usr/share/ozzel/resources/$(basename "$f")"; done
} | sort >"$WORK/expected"
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print substr($6, 2) }' | sort >"$WORK/packaged"
diff "$WORK/expected" "$WORK/packaged" >"$WORK/files.diff" || { cat "$WORK/files.diff"; fail "the package's files differ from the list (< expected, > packaged)"; }

# ---------------------------------------------------------------------------------------------------------------
echo "== lintian"
# Left on purpose: the native package has no upstream tarball signature or watch file to speak of, and the
# binaries take their hardening from the toolchain's defaults.
lintian --fail-on error,warning --display-info "$DEB" >"$WORK/lintian.txt" 2>&1
LINTIAN=$?
cat "$WORK/lintian.txt"
[ $LINTIAN -eq 0 ] || fail "lintian reports errors or warnings"

echo "== AppStream data and desktop entry"
dpkg-deb -x "$DEB" "$WORK/root"
R=$WORK/root
appstreamcli validate --no-net "$R/usr/share/metainfo/io.github.ozzel.ozzel.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$VERSION\"" "$R/usr/share/metainfo/io.github.ozzel.ozzel.metainfo.xml" ||
  fail "the AppStream data names another release than $VERSION"
desktop-file-validate "$R/usr/share/applications/ozzel.desktop" >"$WORK/desktop.txt" 2>&1
DFV=$?
cat "$WORK/desktop.txt"
[ $DFV -eq 0 ] && ! grep -qE "error|warning" "$WORK/desktop.txt" || fail "desktop-file-validate"

echo "== icons"
for s in 32 48 64 128 256; do
  got=$(identify -format '%wx%h %[channels]' "$R/usr/share/icons/hicolor/${s}x$s/apps/ozzel.png" 2>&1)
  [[ $got == "${s}x$s srgba"* ]] || fail "the ${s}-pixel icon is $got"
done
# The 32-pixel icon is the program's own (its mask made transparent); the larger ones draw the same picture:
# shrunk back to 32 pixels each stays close to it.
convert "$R/usr/share/icons/hicolor/32x32/apps/ozzel.png" -background black -flatten "$WORK/own.png"
[ "$(compare -metric AE "$WORK/own.png" "$ROOT/resources/data/icon.bmp" null: 2>&1)" = 0 ] ||
  fail "the 32-pixel icon is not the program's own icon"
for s in 48 64 128 256; do
  rmse=$(convert "$R/usr/share/icons/hicolor/${s}x$s/apps/ozzel.png" -background black -flatten -filter box -resize 32x32 \
    "$WORK/own.png" -metric RMSE -compare -format '%[distortion]' info: 2>&1)
  awk -v e="$rmse" 'BEGIN { exit !(e + 0 < 0.12) }' || fail "the ${s}-pixel icon is not the same picture (RMSE $rmse)"
done

echo "== versions and command line"
for prog in games/ozzel games/datagen; do
  dir=usr/${prog%/*} prog=${prog#*/}
  out=$("$R/$dir/$prog" --version 2>&1)
  [ "$out" = "$prog $VERSION" ] || fail "$prog --version says \"$out\", not \"$prog $VERSION\""
  "$R/$dir/$prog" --help >"$WORK/help.txt" 2>&1 || fail "$prog --help exits $?"
  grep -q "usage" "$WORK/help.txt" || fail "$prog --help prints no usage"
done
"$R/usr/games/ozzel" --windowed >"$WORK/out.txt" 2>"$WORK/err.txt"
RC=$?
[ $RC -eq 2 ] && [ ! -s "$WORK/out.txt" ] && grep -q -- "unknown option '--windowed'" "$WORK/err.txt" ||
  fail "ozzel --windowed: status $RC, stderr: $(cat "$WORK/err.txt")"

# ---------------------------------------------------------------------------------------------------------------
# Runs LAUNCHER as a new user (an empty home of its own) in a virtual X server until the intro shows, then ends
# the game with its exit button. Afterwards the user's settings name the demo medium the launcher built.
run_as_new_user() {
  local launcher=$1 home=$2
  mkdir -p "$home"
  cat >"$WORK/inner.sh" <<'EOF'
#!/bin/bash
# Inside the X server: start the launcher, wait for the intro and the menu's exit button, click it.
LAUNCHER=$1 TRACE=$2
: >"$TRACE"  # empty before the start: the launcher's own redirection may come after the first look
"$LAUNCHER" 2>>"$TRACE" &
PID=$!
gone() { ! kill -0 "$PID" 2>/dev/null; }
# The launcher may still be running datagen: end that too.
stop() { pkill -9 -P "$PID" 2>/dev/null; kill -9 "$PID" 2>/dev/null; }
wait_for() {  # SECONDS PATTERN
  local end=$((SECONDS + $1))
  until grep -q -- "$2" "$TRACE"; do
    gone && { echo "FAIL: ended before \"$2\" (status $(wait "$PID"; echo $?))"; exit 1; }
    [ $SECONDS -ge "$end" ] && { echo "FAIL: no \"$2\" within $1 s"; stop; exit 1; }
    sleep 0.2
  done
}
START=$SECONDS
wait_for 400 " show form_ozzel$"
echo "main window after $((SECONDS - START)) s (the demo medium built first)"
wait_for 20 " show btn_obraz1$"
wait_for 60 " show BTN_Konec$"
read -r SW SH < <(xdotool getdisplaygeometry)
xdotool mousemove $(( (SW - 640) / 2 + 587 )) $(( (SH - 480) / 2 + 448 ))
sleep 0.5
xdotool click 1
for _ in $(seq 1 150); do gone && break; sleep 0.1; done
gone || { echo "FAIL: still running 15 s after the exit button"; stop; exit 1; }
wait "$PID"
RC=$?
[ $RC -eq 0 ] || { echo "FAIL: exit status $RC"; exit 1; }
EOF
  chmod +x "$WORK/inner.sh"
  env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 OZZEL_TRACE=1 OZZEL_SCALE=1 SDL_AUDIODRIVER=dummy \
    timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" "$WORK/inner.sh" "$launcher" "$WORK/trace.txt"
  local rc=$?
  if [ $rc -ne 0 ]; then
    echo "--- trace (last lines) ---"
    tail -n 15 "$WORK/trace.txt" 2>/dev/null
    return 1
  fi
  local medium=$home/.local/share/ozzel/medium store=$home/.config/bimbalo/registry.reg
  grep -q " exit 0$" "$WORK/trace.txt" || { echo "no 'exit 0' in the trace"; return 1; }
  if grep -E " (msgbox|input) | (wav|midi|anim) open-fail | picture-fail " "$WORK/trace.txt"; then
    echo "the game missed something of the demo medium"
    return 1
  fi
  grep -qF "\"kde_je_BM4\"=\"$medium\"" "$store" || { echo "the settings do not name $medium"; cat "$store"; return 1; }
  [ -d "$medium/bm4/_ozzel/obrazky" ] || { echo "no demo medium in $medium"; return 1; }
  return 0
}

echo "== the unpacked launcher, a new user"
run_as_new_user "$R/usr/games/ozzel-start" "$WORK/home" || fail "the unpacked launcher"

# ---------------------------------------------------------------------------------------------------------------
if [ "${OZZEL_TEST_INSTALL:-0}" != 1 ]; then
  echo "ok (installing system-wide only with OZZEL_TEST_INSTALL=1)"
  exit 0
fi
echo "== installed system-wide"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO dpkg -i "$DEB" >"$WORK/dpkg.log" 2>&1; then
  $SUDO apt-get install -f -y -qq >>"$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "the package does not install"; }
fi
dpkg-query -W -f='${Status}\n' ozzel | grep -q "install ok installed" || { cat "$WORK/dpkg.log"; fail "not installed"; }
dpkg -L ozzel | while read -r f; do [ -d "$f" ] && [ ! -L "$f" ] || echo "$f"; done | sort >"$WORK/listed"
diff "$WORK/expected" "$WORK/listed" || fail "dpkg -L differs from the list (< expected, > listed)"
[ "$(man -w ozzel)" = /usr/share/man/man6/ozzel.6.gz ] || fail "man -w ozzel: $(man -w ozzel 2>&1)"
[ "$(man -w datagen)" = /usr/share/man/man1/datagen.1.gz ] || fail "man -w datagen: $(man -w datagen 2>&1)"
run_as_new_user /usr/games/ozzel-start "$WORK/home2" || { $SUDO dpkg -r ozzel >/dev/null; fail "the installed launcher"; }

$SUDO dpkg -r ozzel >"$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "the package does not remove"; }
STATUS=$(dpkg-query -W -f='${Status}' ozzel 2>/dev/null)
case $STATUS in "" | *not-installed) ;; *) fail "after removal dpkg says \"$STATUS\"" ;; esac
LEFT=$(while read -r f; do [ -e "$f" ] || [ -L "$f" ] && echo "$f"; done <"$WORK/expected")
[ -z "$LEFT" ] || fail "left behind: $LEFT"
for d in /usr/share/ozzel /usr/share/doc/ozzel; do [ ! -e "$d" ] || fail "left behind: $d"; done
# The user's own files stay.
[ -f "$WORK/home2/.config/bimbalo/registry.reg" ] && [ -d "$WORK/home2/.local/share/ozzel/medium/bm4/_ozzel" ] ||
  fail "the user's settings or demo medium went with the package"
echo "ok"
