#!/usr/bin/env bash
# Online scores in the real binary built with the Online tab (lambrisk_online) against our score
# server on loopback: 2 opens the Online tab, a new name and password log in and register, a game
# quit at once is the local best and the refresh submits it, the online table shows it (checked
# on screen and through the operator client), a screenshot is saved; the server is killed and
# started again on the same database, and a refresh still shows the game.
# Usage: online_scores.sh <game folder> <png_probe> <window_pixel> <lambrisk_online> <score_server> <score_admin>
source "$(dirname "$0")/lib.sh"
WINDOW_PIXEL=${3:?window_pixel path}
ONLINE_GAME=${4:?lambrisk_online path}
SERVER=${5:?score_server path}
ADMIN=${6:?score_admin path}
SERVER_PID=""
trap 'cleanup; [ -n "$SERVER_PID" ] && kill -9 "$SERVER_PID" 2>/dev/null || true' EXIT

# Starts the server on $1 (0: any free port) and sets PORT from its first line.
start_server() {
  : >"$WORK/server.txt"
  "$SERVER" --bind 127.0.0.1 --port "$1" --db "$WORK/scores.db" --motd 'Weekly cup\nGood luck' \
    >"$WORK/server.txt" 2>&1 &
  SERVER_PID=$!
  wait_until "the score server" grep -q listening "$WORK/server.txt"
  PORT=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\),.*/\1/p' "$WORK/server.txt")
}

start_server 0
copy_game
cp "$ONLINE_GAME" "$WORK/game/lambrisk"
printf '[Online]\r\nScoreServer=127.0.0.1:%s\r\n' "$PORT" >"$WORK/game/Files/Setup.ini"
start_xvfb 1280x720
start_game_window
wait_until "the title screen" on_title

# The 800 x 600 window shows the 1280 x 960 virtual screen: the panel's boxes are at x 667 and,
# from the top, the refresh button, the name box, the password box and the Login button.
click() { xdotool mousemove --window "$wid" "$1" "$2"; sleep 0.1; xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.15; }
# A button clicked again every few seconds until what it does shows: a loaded machine can drop a
# click on a screen still settling. Pressing Login or refresh again does no harm.
click_until() {
  local what=$1 x=$2 y=$3; shift 3
  local start=$SECONDS
  until "$@" >/dev/null 2>&1; do
    [ $((SECONDS - start)) -gt "$DEADLINE" ] && fail "timed out waiting for $what"
    click "$x" "$y"
    local tried=$SECONDS
    until "$@" >/dev/null 2>&1 || [ $((SECONDS - tried)) -ge 5 ]; do sleep 0.2; done
  done
}
press 2
click 667 84
xdotool type --delay 60 "Shepherd"
click 667 128
xdotool type --delay 60 "woolly"
registered() { "$ADMIN" players "$WORK/scores.db" | grep -qx Shepherd; }
click_until "the name registered" 667 159 registered

# A game, quit at once; the name prompt takes the default name.
press z
wait_until "the first level" levels_set_up 1
press Escape
press Down
press space
wait_until "the name prompt" name_prompt_shown
press Return
# The Online tab tints the title's backdrop green, which on_title does not expect.
prompt_gone() { ! name_prompt_shown; }
wait_until "the title screen after the game" prompt_gone

# The first row of the online list in the side panel, white on the dark panel.
first_row_shown() {
  "$WINDOW_PIXEL" "$wid" 543 226 247 17 | awk '$1 > 200 && $2 > 200 && $3 > 200 { n++ } END { exit !(n > 30) }'
}
table_has_game() { "$ADMIN" table "127.0.0.1:$PORT" 101 | grep -q '^[0-9]*|Player|'; }
# The first refresh finds no table and submits the game; the next one brings the table back.
click_until "the game in the server's table" 667 78 table_has_game
click_until "the game in the online table" 667 78 first_row_shown
press F11
shot_saved() { ls "$WORK/game/Files/"*.png >/dev/null 2>&1; }
wait_until "the screenshot" shot_saved

kill -9 "$SERVER_PID"
wait "$SERVER_PID" 2>/dev/null || true
start_server "$PORT"
table_has_game || fail "the game was lost when the server was killed"
click 667 78
sleep 1
wait_until "the game in the online table after the restart" first_row_shown

leave_through_farewell
echo ok
