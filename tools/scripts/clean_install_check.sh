#!/usr/bin/env bash
# Proves that the Debian package installs and plays on a clean Debian 12 machine.
#
# Usage (as root, with the network): tools/scripts/clean_install_check.sh lambrisk_X.Y.Z_amd64.deb [shots folder]
#
# It makes a minimal Debian 12 root with debootstrap (none of the game's libraries are in it),
# installs the package there with apt, first without its Recommends (so without OpenAL), and
# starts the game as the menu does: the desktop entry's Exec command, run by an ordinary user with
# a fresh home, on an Xvfb display of this machine. OpenGL (Mesa's software renderer) must come
# from the package's own dependencies inside the clean root. Each start must reach the title
# screen, show the farewell after Escape and end with exit code 0. The package is then removed and
# installed again with its Recommends (OpenAL); a second start must find the player's folder as
# the first left it. Screenshots of the title and the farewell go to the shots folder (default
# ./clean-install-shots). The clean root is removed at the end, pass or fail.
#
# Not part of the test command: it needs the network and takes a few minutes.
# Settings: SUITE (bookworm), MIRROR (http://deb.debian.org/debian), DEADLINE (seconds a wait
# may take, 240), CLEAN_CHECK_TMP (where the clean root is made, /var/tmp), DEBOOTSTRAP_CACHE
# (a folder that keeps debootstrap's downloads for the next run; none by default),
# CLEAN_CHECK_KEEP (when set, the clean root is left in place, unmounted, for a look).
# shellcheck disable=SC2015,SC2016  # "a && b || fail" is meant; dpkg's ${Field} is not the shell's
set -euo pipefail

DEB=${1:?usage: clean_install_check.sh <lambrisk .deb> [shots folder]}
SHOTS=${2:-$PWD/clean-install-shots}
SUITE=${SUITE:-bookworm}
MIRROR=${MIRROR:-http://deb.debian.org/debian}
DEADLINE=${DEADLINE:-240}

PLAYER=player
DESKTOP_ENTRY=/usr/share/applications/io.github.lambrisk.Lambrisk.desktop

WORK=""
ROOT=""
MOUNTS=()      # mount points inside the clean root, in the order they were made
XVFB_PID=""
GAME_PID=""
CHECKS=0

say() { echo "== $*"; }
ok() { CHECKS=$((CHECKS + 1)); echo "ok: $*"; }

fail() {
  echo "FAIL: $*" >&2
  local log
  log=$(user_dir)/Files/Debug.txt
  [ -n "$ROOT" ] && [ -f "$log" ] && { echo "--- the game's Debug.txt"; tail -40 "$log"; } >&2
  [ -n "$WORK" ] && [ -s "$WORK/game.err" ] && { echo "--- the game's error output"; tail -20 "$WORK/game.err"; } >&2
  exit 1
}

# Everything this script started or mounted goes, pass or fail: the game (and anything else
# still running inside the clean root, found by its root folder), Xvfb, the mounts (last made,
# first undone), then the clean root itself, but only once nothing is mounted in it any more.
cleanup() {
  local rc=$?
  set +e
  if [ -n "$ROOT" ]; then
    local p
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$ROOT" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
  fi
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  local i
  for ((i = ${#MOUNTS[@]} - 1; i >= 0; i--)); do
    umount "${MOUNTS[i]}" 2>/dev/null || umount -l "${MOUNTS[i]}" || echo "could not unmount ${MOUNTS[i]}" >&2
  done
  if [ -n "$WORK" ]; then
    if [ -n "$ROOT" ] && findmnt -rn -o TARGET | grep -q "^$ROOT"; then
      echo "something is still mounted in $ROOT: left in place" >&2
    elif [ -n "${CLEAN_CHECK_KEEP:-}" ]; then
      echo "kept $WORK"
    else
      rm -rf --one-file-system "$WORK"
    fi
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

in_root() { chroot "$ROOT" "$@"; }
as_player() { chroot --userspec="$PLAYER:$PLAYER" "$ROOT" "$@"; }
user_dir() { echo "$ROOT/home/$PLAYER/.local/share/lambrisk"; }
installed() { in_root dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Polls a condition (a shell command) until it holds or the deadline passes; the game dying
# meanwhile is a failure at once.
wait_until() {
  local what=$1
  shift
  local start=$SECONDS
  until "$@" >/dev/null 2>&1; do
    [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null && fail "the game ended while waiting for $what"
    [ $((SECONDS - start)) -gt "$DEADLINE" ] && fail "timed out after ${DEADLINE}s waiting for $what"
    sleep 0.3
  done
}

# --- The host's tools ------------------------------------------------------------------------------
[ "$(id -u)" -eq 0 ] || { echo "run as root: debootstrap, chroot and mount need it" >&2; exit 2; }
[ -f "$DEB" ] || { echo "no such package: $DEB" >&2; exit 2; }
DEB=$(readlink -f "$DEB")
needed=()
for tool in debootstrap:debootstrap Xvfb:xvfb xdotool:xdotool import:imagemagick findmnt:util-linux; do
  command -v "${tool%%:*}" >/dev/null || needed+=("${tool#*:}")
done
if [ ${#needed[@]} -gt 0 ]; then
  say "installing on this machine: ${needed[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${needed[@]}" >/dev/null
fi
mkdir -p "$SHOTS"
SHOTS=$(readlink -f "$SHOTS")
WORK=$(mktemp -d "${CLEAN_CHECK_TMP:-/var/tmp}/lambrisk-clean-XXXXXX")
ROOT=$WORK/root

# --- A clean Debian 12 ---------------------------------------------------------------------------------
say "debootstrap --variant=minbase $SUITE ($MIRROR)"
cache=()
if [ -n "${DEBOOTSTRAP_CACHE:-}" ]; then
  mkdir -p "$DEBOOTSTRAP_CACHE"
  cache=(--cache-dir="$(readlink -f "$DEBOOTSTRAP_CACHE")")
fi
debootstrap --variant=minbase "${cache[@]}" "$SUITE" "$ROOT" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 ||
  { tail -20 "$WORK/debootstrap.log"; fail "debootstrap failed"; }
for lib in libgl1 libx11-6 libpng16-16 libfreetype6 libvorbisfile3 libopenal1; do
  installed "$lib" && fail "the clean root already has $lib"
done
ok "a minimal $SUITE root without the game's libraries ($(in_root dpkg-query -W | wc -l) packages)"

# The X server's socket folder is shared with the clean root, so the game there reaches the Xvfb
# that runs here.
[ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
for m in proc sys dev dev/pts tmp/.X11-unix; do
  mkdir -p "$ROOT/$m"
  case $m in
    proc) mount -t proc proc "$ROOT/proc" ;;
    sys) mount -t sysfs sysfs "$ROOT/sys" ;;
    *) mount --bind "/$m" "$ROOT/$m" ;;
  esac
  MOUNTS+=("$ROOT/$m")
done
# Packages must not start services in the clean root.
printf '#!/bin/sh\nexit 101\n' >"$ROOT/usr/sbin/policy-rc.d"
chmod 755 "$ROOT/usr/sbin/policy-rc.d"
in_root apt-get update -q >"$WORK/apt-update.log" 2>&1 || { cat "$WORK/apt-update.log"; fail "apt-get update failed"; }
cp "$DEB" "$ROOT/tmp/"
PKG_IN_ROOT=/tmp/$(basename "$DEB")

# Installs the package with apt (extra options in "$@") and tells what apt pulled in; every
# package but ours must come from the Debian archive, the only source the clean root knows.
apt_install() {
  local label=$1
  shift
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "$@" "$PKG_IN_ROOT" >"$WORK/apt-$label.log" 2>&1 ||
    { tail -30 "$WORK/apt-$label.log"; fail "apt-get install $* failed"; }
  local pulled
  pulled=$(sed -n '/^The following NEW packages will be installed:/,/^[^ ]/{/^ /p}' "$WORK/apt-$label.log" | xargs)
  echo "   apt pulled $(wc -w <<<"$pulled") packages: $pulled"
  grep -E '^(Need to get|After this operation)' "$WORK/apt-$label.log" | sed 's/^/   /'
  installed lambrisk || fail "lambrisk is not installed after apt-get install"
  local local_only
  local_only=$(in_root apt list --installed 2>/dev/null | grep ',local\]' | cut -d/ -f1 | xargs)
  [ "$local_only" = lambrisk ] || fail "packages that are in no archive: $local_only"
  ok "apt-get install ${*:-(Recommends too)} resolved every dependency from the Debian archive"
}

say "apt-get install --no-install-recommends ./$(basename "$DEB")"
apt_install bare --no-install-recommends
installed libopenal1 && fail "OpenAL came in without Recommends: it must not be a hard dependency"
in_root dpkg-query -W -f='${Recommends}' lambrisk | grep -q libopenal1 || fail "the package does not recommend libopenal1"
ok "OpenAL is only recommended: not installed"

# --- Starting it from the menu -----------------------------------------------------------------
in_root useradd --create-home --shell /bin/bash "$PLAYER"
PLAYER_UID=$(in_root id -u "$PLAYER")
# The command as the menu runs it: the Exec line without its field codes (%f, %U, ...), with the
# PATH a login of the clean root gets.
EXEC=$(sed -n 's/^Exec=//p' "$ROOT$DESKTOP_ENTRY" | head -n 1 | sed 's/ *%[a-zA-Z]//g')
[ -n "$EXEC" ] || fail "no Exec line in $DESKTOP_ENTRY"
LOGIN_PATH=$(sed -n 's/^ENV_PATH[[:space:]]*PATH=//p' "$ROOT/etc/login.defs")
LOGIN_PATH=${LOGIN_PATH:-/usr/local/bin:/usr/bin:/bin:/usr/games}
say "the menu's command: Exec=$EXEC (PATH=$LOGIN_PATH)"

Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
wait_until "Xvfb" grep -q '^[0-9]' "$WORK/display"
DISPLAY=":$(head -n 1 "$WORK/display")"
export DISPLAY
[ -S "$ROOT/tmp/.X11-unix/X${DISPLAY#:}" ] || fail "the X socket of $DISPLAY is not seen in the clean root"
ok "Xvfb on $DISPLAY, its socket seen in the clean root"

# The title screen is up once the Hiscore panel's tab bar shows: a grey bar at the top right of
# the 800 x 600 window, which opens at the screen's corner (no window manager). The intro before
# it (logos over the dark blue backdrop) has no such bar, nor has the farewell. The panel slides
# in from the right, so both ends of the bar must be grey.
grey_at() { [ "$(convert "$WORK/screen.png" -crop "50x18+$1+5" -format '%[fx:int(mean.r*255)]' info:)" -gt 60 ]; }
tab_bar_shown() { import -window root "$WORK/screen.png" 2>/dev/null && grey_at 545 && grey_at 745; }
# The title has settled when, besides, its logo and texts on the left stand still between two
# screenshots (they slide into place too; only the world tiles below them move on).
title_settled() {
  tab_bar_shown || return 1
  cp "$WORK/screen.png" "$WORK/before.png"
  sleep 0.3
  tab_bar_shown || return 1
  [ "$(compare -metric AE "$WORK/before.png" "$WORK/screen.png" -crop 530x300+0+70 null: 2>&1)" = 0 ]
}
log_fresh_has() {
  local log
  log=$(user_dir)/Files/Debug.txt
  [ "$log" -nt "$WORK/started" ] && grep -qF -- "$1" "$log"
}
farewell_shown() { log_fresh_has "Closing Up" && ! tab_bar_shown; }
# A picture with only a few colours is a blank or broken frame, not the game's screen.
drawn() { [ "$(convert "$1" -crop 800x600+0+0 -format %k info:)" -gt 500 ]; }
press_escape() { xdotool keydown Escape; sleep 0.15; xdotool keyup Escape; }
# Waits up to a few seconds for a condition after a key press; false when it did not come.
within() {
  local limit=$(($1 + SECONDS))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $limit ] && return 1
    sleep 0.2
  done
}
game_gone() { ! kill -0 "$GAME_PID" 2>/dev/null; }
library_loaded() { grep -q "$ROOT/[^ ]*/$1" "/proc/$GAME_PID/maps"; }

# One start from the menu, through the title screen and the farewell to exit code 0. $1 names the
# screenshots; $2 is yes when OpenAL must be loaded, no when it must not be there.
play_once() {
  local label=$1 openal=$2
  touch "$WORK/started"
  sleep 0.01
  # Started directly (not through a function), so that $! is the game itself: chroot, env, sh and
  # the launcher each hand over their process with exec.
  chroot --userspec="$PLAYER:$PLAYER" "$ROOT" /usr/bin/env -i HOME="/home/$PLAYER" USER="$PLAYER" LOGNAME="$PLAYER" SHELL=/bin/bash \
    PATH="$LOGIN_PATH" DISPLAY="$DISPLAY" /bin/sh -c "cd && exec $EXEC" >"$WORK/game.out" 2>"$WORK/game.err" &
  GAME_PID=$!
  wait_until '"Finished Loading" in the debug log' log_fresh_has "Finished Loading"
  ok "$label: \"Finished Loading\" in ~$PLAYER/.local/share/lambrisk/Files/Debug.txt"
  # The game's drawing goes through the clean root's own Mesa, never the host's.
  library_loaded 'libGLX_mesa.so' && library_loaded 'dri/swrast_dri.so' ||
    fail "OpenGL is not Mesa's software renderer from the clean root: $(grep -o '/[^ ]*\(GL\|dri\)[^ ]*' "/proc/$GAME_PID/maps" | sort -u | xargs)"
  ok "$label: OpenGL is the clean root's Mesa (libGLX_mesa, swrast_dri)"
  if [ "$openal" = yes ]; then
    library_loaded 'libopenal.so' || fail "OpenAL is installed but the game did not load it"
    ok "$label: the game loaded the clean root's libopenal.so.1"
  else
    library_loaded 'libopenal.so' && fail "an OpenAL library was loaded although none is installed"
    ok "$label: no OpenAL loaded, the game runs without it"
  fi
  sed -n '/^Setting Audio Driver/,/^Set Audio Driver/p' "$(user_dir)/Files/Debug.txt" | sed 's/^/   log: /'

  wait_until "the title screen" title_settled
  cp "$WORK/screen.png" "$SHOTS/$label-title.png"
  drawn "$SHOTS/$label-title.png" || fail "the title screen is blank: $SHOTS/$label-title.png"
  ok "$label: title screen drawn ($SHOTS/$label-title.png)"

  local presses=0
  until farewell_shown; do
    [ $presses -ge 5 ] && fail "Escape did not bring the farewell"
    press_escape
    presses=$((presses + 1))
    within 10 farewell_shown || true
  done
  cp "$WORK/screen.png" "$SHOTS/$label-farewell.png"
  drawn "$SHOTS/$label-farewell.png" || fail "the farewell is blank: $SHOTS/$label-farewell.png"
  ok "$label: the farewell after $presses Escape press(es) ($SHOTS/$label-farewell.png)"

  presses=0
  until game_gone; do
    [ $presses -ge 5 ] && fail "Escape did not end the farewell"
    press_escape
    presses=$((presses + 1))
    within 10 game_gone || true
  done
  local rc=0
  wait "$GAME_PID" || rc=$?
  GAME_PID=""
  [ "$rc" -eq 0 ] || fail "$label: the game ended with exit code $rc"
  log_fresh_has "Play again, soon!!" || fail "$label: the debug log does not end with the farewell"
  ok "$label: exit code 0 after the farewell"
}

say "first start, without OpenAL"
play_once first no
USER_DIR=$(user_dir)
[ -d "$USER_DIR/Files" ] && [ ! -L "$USER_DIR/Files" ] && [ -d "$USER_DIR/Levels" ] ||
  fail "no per-user folder $USER_DIR with real Files/ and Levels/"
[ "$(stat -c %u "$USER_DIR")" = "$PLAYER_UID" ] || fail "the per-user folder does not belong to $PLAYER"
PLAYER_DIR=/home/$PLAYER/.local/share/lambrisk
in_root test "$PLAYER_DIR/Levels/Lambrisk.txt" -ef /usr/share/lambrisk/Levels/Lambrisk.txt ||
  fail "the levels are not linked to /usr/share/lambrisk"
for f in Files/Setup.ini Files/Debug.txt; do
  [ -f "$USER_DIR/$f" ] && [ ! -L "$USER_DIR/$f" ] || fail "$f is not the player's own file"
done
ok "the per-user folder ~$PLAYER/.local/share/lambrisk: real folders, links into /usr/share/lambrisk, own setup and log"
# The player turns the master volume up, as the settings panel would; the game must read that
# back and keep it, and keep the score file the first start wrote.
# (The game ends its setup lines with CR LF.)
as_player sed -i 's/^Master = [0-9]*/Master = 70/' "$PLAYER_DIR/Files/Setup.ini"
master_70() { grep -Eq '^Master = 70'$'\r''?$' "$USER_DIR/Files/Setup.ini"; }
master_70 || fail "could not change the setup file"
first_files=$(cd "$USER_DIR" && find . -type f | sort)

say "apt-get purge lambrisk, then apt-get install ./$(basename "$DEB") with its Recommends"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y --autoremove lambrisk >"$WORK/apt-purge.log" 2>&1 ||
  { tail -20 "$WORK/apt-purge.log"; fail "apt-get purge failed"; }
[ -e "$ROOT/usr/libexec/lambrisk" ] || [ -e "$ROOT/usr/share/lambrisk" ] && fail "the purge left the game's files"
apt_install full
installed libopenal1 || fail "the Recommends did not bring libopenal1"
ok "with Recommends, libopenal1 is installed"

say "second start, with OpenAL"
play_once second yes
master_70 || fail "the second start lost the player's setup (Master = 70)"
missing=$(comm -23 <(echo "$first_files") <(cd "$USER_DIR" && find . -type f | sort))
[ -z "$missing" ] || fail "the second start lost files the first wrote: $missing"
ok "the second start kept what the first wrote: $(echo "$first_files" | xargs)"

echo "clean install check: $CHECKS checks passed, 0 failed ($(basename "$DEB") on $SUITE)"
