#!/usr/bin/env bash
# The installed game: `cmake --install` and the Debian package lay out the same files; the
# package's launcher, unpacked anywhere, makes the per-user folder on the first start, runs the
# game there, and on the next start keeps what the player has there while it renews the links to
# the shipped data.
source "$(dirname "$0")/lib.sh"
BUILD=$(dirname "$GAME_SRC")
PNG_PROBE=${2:?png_probe path}

# The layout below a prefix, for both ways of installing.
check_layout() {
  local p=$1
  [ -x "$p/bin/lambrisk" ] && [ -x "$p/libexec/lambrisk/lambrisk" ] || fail "no launcher or game in $p"
  local f
  for f in lambrisk/Levels/Lambrisk.txt lambrisk/Files/003/blank.txt lambrisk/Files/003/gfx_01.png \
           "lambrisk/Files/Common/Blue Highway.ttf" applications/io.github.lambrisk.Lambrisk.desktop \
           metainfo/io.github.lambrisk.Lambrisk.metainfo.xml man/man6/lambrisk.6.gz \
           icons/hicolor/scalable/apps/lambrisk.svg doc/lambrisk/copyright doc/lambrisk/changelog.gz; do
    [ -s "$p/share/$f" ] || fail "missing $p/share/$f"
  done
  for f in 16 24 32 48 64 128 256; do
    [ "$("$PNG_PROBE" "$p/share/icons/hicolor/${f}x$f/apps/lambrisk.png" | cut -d" " -f1,2)" = "$f $f" ] ||
      fail "the ${f}x$f icon is not $f pixels square"
  done
  local written
  written=$(cd "$p/share/lambrisk" && find . -name Setup.ini -o -name Debug.txt -o -name '*.dat' -o -name WIP.txt \
            -o -name 'My Levels.*' -o -name '*.new' -o \( -path './Files/*.png' ! -path './Files/*/*' \))
  [ -z "$written" ] || fail "files a game run writes were installed: $written"
}

cmake --install "$BUILD" --prefix "$WORK/prefix" >"$WORK/install.txt" || fail "cmake --install failed"
check_layout "$WORK/prefix"

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/cpack" >"$WORK/cpack.txt" 2>&1 ||
  { cat "$WORK/cpack.txt"; fail "cpack failed"; }
deb=$(ls "$WORK"/cpack/lambrisk_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lambrisk ] && [ "$(field Section)" = games ] || fail "package name or section wrong"
[ "$(field Recommends)" = "libopenal1, ca-certificates" ] || fail "OpenAL or the certificates not recommended: $(field Recommends)"
field Depends | grep -q 'libx11-6' && field Depends | grep -q 'libc6 (>=' && field Depends | grep -q 'libgnutls30' ||
  fail "Depends lacks the scanned libraries: $(field Depends)"
field Depends | grep -q openal && fail "OpenAL must not be a hard dependency"
dpkg-deb -x "$deb" "$WORK/root"
ROOT="$WORK/root/usr"
check_layout "$ROOT"
appstreamcli validate-tree --strict --no-net "$WORK/root" >"$WORK/validate.txt" 2>&1 ||
  { cat "$WORK/validate.txt"; fail "the package's metainfo, desktop entry or icon does not validate"; }

# Informational options answer without a display or a folder.
HOME="$WORK/nohome" DISPLAY= "$ROOT/bin/lambrisk" --version | grep -qx "lambrisk [0-9.]*" || fail "no --version"
[ -e "$WORK/nohome" ] && fail "--version made a folder"

# The lib.sh helpers watch $WORK/game: here that is the per-user folder.
USER_DIR="$WORK/home/.local/share/lambrisk"
ln -s "$USER_DIR" "$WORK/game"
# Started as the menu does: the desktop entry's command, found on the PATH.
command=$(sed -n 's/^Exec=//p' "$ROOT/share/applications/io.github.lambrisk.Lambrisk.desktop")
start_launcher() {
  (cd / && exec env -u XDG_DATA_HOME HOME="$WORK/home" PATH="$ROOT/bin:$PATH" "$@" $command \
     >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
  GAME_PID=$!
}
run_once() {
  start_launcher "$@"
  wait_for_log "Finished Loading"
  kill -TERM "$GAME_PID"
  wait_for_exit 0
}

start_xvfb
run_once
[ -d "$USER_DIR/Files" ] && [ ! -L "$USER_DIR/Files" ] && [ ! -L "$USER_DIR/Levels" ] || fail "no real per-user folders"
[ -L "$USER_DIR/Levels/Lambrisk.txt" ] && [ "$USER_DIR/Levels/Lambrisk.txt" -ef "$ROOT/share/lambrisk/Levels/Lambrisk.txt" ] ||
  fail "the levels are not linked to the installed data"
for f in Files/Setup.ini Files/Debug.txt; do
  [ -f "$USER_DIR/$f" ] && [ ! -L "$USER_DIR/$f" ] || fail "$f is not the player's own file"
done

# The player's changes, and what an earlier install left: a changed setup, built-in levels
# replaced by an own file, a shipped link deleted, a link into another install of the data, a
# link to data since dropped, and a dangling link of the player's own.
sed -i 's/^Width=.*/Width=640/; s/^Height=.*/Height=480/' "$USER_DIR/Files/Setup.ini"
rm "$USER_DIR/Levels/Lambrisk.txt" "$USER_DIR/Files/003/blank.txt" "$USER_DIR/Files/Debug.txt"
printf 'the player'"'"'s own levels\r\n' >"$USER_DIR/Levels/Lambrisk.txt"
ln -sfn "$WORK/prefix/share/lambrisk/Files/003/gfx_01.png" "$USER_DIR/Files/003/gfx_01.png"
ln -s "$WORK/gone/share/lambrisk/Files/003/old.wav" "$USER_DIR/Files/003/old.wav"
ln -s "$WORK/elsewhere/notes.txt" "$USER_DIR/Levels/notes.txt"

# A relative XDG_DATA_HOME is ignored, as the XDG rule says.
run_once XDG_DATA_HOME=relative/data
log_has "Requested Resolution : 640x480" || fail "the player's setup was not read"
grep -q '^Width=640' "$USER_DIR/Files/Setup.ini" || fail "the player's setup was not kept"
grep -q "the player's own levels" "$USER_DIR/Levels/Lambrisk.txt" || fail "the player's level file was overwritten"
[ "$USER_DIR/Files/003/blank.txt" -ef "$ROOT/share/lambrisk/Files/003/blank.txt" ] || fail "a deleted link was not renewed"
[ "$USER_DIR/Files/003/gfx_01.png" -ef "$ROOT/share/lambrisk/Files/003/gfx_01.png" ] || fail "a link into another install stayed"
[ -L "$USER_DIR/Files/003/old.wav" ] && fail "a link to dropped data stayed"
[ -L "$USER_DIR/Levels/notes.txt" ] || fail "the player's own link was removed"
[ -e "$WORK/home/.local/share/relative" ] || [ -e /relative ] && fail "the relative XDG_DATA_HOME was used"
# The game wrote only into the player's folder, never through a link into the shipped data.
dpkg-deb -e "$deb" "$WORK/control"
(cd "$WORK/root" && md5sum --quiet -c "$WORK/control/md5sums") >"$WORK/md5.txt" 2>&1 ||
  { cat "$WORK/md5.txt"; fail "the installed data was changed"; }
echo "ok"
