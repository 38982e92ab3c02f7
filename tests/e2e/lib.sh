# Shared helpers of the end-to-end tests: a private Xvfb server, a private copy of the game folder,
# and waits that poll for what they expect under a generous deadline.
set -euo pipefail

GAME_SRC=${1:?usage: test_x.sh <game folder>}
DEADLINE=${E2E_DEADLINE:-120}
WORK=$(mktemp -d /tmp/lambrisk-e2e-XXXXXX)
XVFB_PID=""
GAME_PID=""

cleanup() {
  [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  if [ -z "${E2E_KEEP:-}" ]; then rm -rf "$WORK"; else echo "kept $WORK"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  # What the screen showed, where ImageMagick is at hand (kept with E2E_KEEP).
  if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then import -window root "$WORK/failed.png" 2>/dev/null || true; fi
  [ -f "$WORK/game/Files/Debug.txt" ] && { echo "--- Debug.txt"; cat -A "$WORK/game/Files/Debug.txt" | head -80; } >&2
  [ -f "$WORK/stderr.txt" ] && { echo "--- stderr"; tail -40 "$WORK/stderr.txt"; } >&2
  exit 1
}

# Copies the game folder, so tests never touch a player's files in the real one.
copy_game() {
  mkdir -p "$WORK/game"
  cp -r "$GAME_SRC/." "$WORK/game/"
  rm -f "$WORK/game/Files/Setup.ini" "$WORK/game/Files/Debug.txt" "$WORK/game/Files/003/nuscores.dat" \
        "$WORK/game/Files/003/zivazo.dat" "$WORK/game/Files/003/crash.dat"
  rm -f "$WORK/game/Files/"*.png
  rm -rf "$WORK/game/Files/003/replays"
}

# Starts Xvfb at the given size (default 1280x720) on a display number it picks itself and
# reports once it accepts clients, so tests running side by side never race for one.
start_xvfb() {
  local size=${1:-1280x720}
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local start=$SECONDS
  until [ -s "$WORK/display" ] && grep -q '^[0-9]' "$WORK/display"; do
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    [ $((SECONDS - start)) -gt "$DEADLINE" ] && fail "Xvfb did not start"
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$WORK/display")"
}

# Starts the game from its folder in the background.
start_game() {
  (cd "$WORK/game" && exec ./lambrisk >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
  GAME_PID=$!
}

# Starts the game and waits for its window with the title screen loaded; wid is the window.
start_game_window() {
  start_game
  wait_for_log "Finished Loading"
  wid=$(xdotool search --sync --name '^#3 : Lambrisk $' | head -n 1)
  [ -n "$wid" ] || fail "no game window"
}

# Polls a condition (a shell command) until it holds or the deadline passes.
wait_until() {
  local what=$1; shift
  local start=$SECONDS
  until "$@" >/dev/null 2>&1; do
    [ $((SECONDS - start)) -gt "$DEADLINE" ] && fail "timed out waiting for $what"
    sleep 0.2
  done
}

log_has() { grep -qF -- "$1" "$WORK/game/Files/Debug.txt"; }
wait_for_log() { wait_until "log line '$1'" log_has "$1"; }

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }

# Waits for the game to end and fails unless it ended with the expected exit code.
wait_for_exit() {
  local expected=${1:-0}
  local start=$SECONDS
  while game_running; do
    [ $((SECONDS - start)) -gt "$DEADLINE" ] && fail "the game did not end"
    sleep 0.2
  done
  local rc=0
  wait "$GAME_PID" || rc=$?
  GAME_PID=""
  [ "$rc" -eq "$expected" ] || fail "exit code $rc, expected $expected"
}

# Escape leaves through the farewell; a key press after it ends the program with exit code 0. The
# farewell first waits for Escape to be let go, so the key is held until the program ends.
leave_through_farewell() {
  press Escape
  wait_for_log "Play again, soon!!"
  xdotool keydown space
  wait_for_exit 0
  xdotool keyup space
}

# A key pressed and let go as a person does: the game acts once per press, on a frame that sees
# it held.
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep 0.15; }

# In an 800 x 600 window ($WINDOW_PIXEL and $wid set by the test): the title's row of world
# numbers, a locked world in red beside the chosen one over the dark blue backdrop (the game
# shows brown earth there).
on_title() {
  "$WINDOW_PIXEL" "$wid" 298 356 200 44 |
    awk '$1 > $3 + 20 { red++ } $3 > $1 + 30 { blue++ } END { exit !(red > 40 && blue > 4000) }'
}

# "Enter Your Name" in green above the middle of the 800 x 600 window.
name_prompt_shown() {
  "$WINDOW_PIXEL" "$wid" 200 215 400 45 | awk '$2 > 200 && $1 < 60 && $3 < 60 { n++ } END { exit !(n > 100) }'
}

# Level texts the game printed on standard output: at least $1 levels set up so far.
levels_set_up() { [ "$(grep -c '^"' "$WORK/stdout.txt")" -ge "$1" ]; }

# Yellow pixels in the middle of the 800 x 600 window: "Game Over" is the only yellow there.
game_over_shown() {
  "$WINDOW_PIXEL" "$wid" 200 250 400 100 | awk '$1 > 200 && $2 > 200 && $3 < 60 { n++ } END { exit !(n > 200) }'
}
