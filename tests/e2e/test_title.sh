#!/usr/bin/env bash
# The title screen in an 800 x 600 window: it slides in, Left and Right move the start world
# (the locked worlds' red numbers right of the chosen one fade as it moves away from them), the
# editor (E) comes back through its pause menu, and Escape leaves with exit code 0 through the
# farewell.
source "$(dirname "$0")/lib.sh"
WINDOW_PIXEL=${3:?window_pixel path}

copy_game
# Worlds 1 to 3 open: the chooser starts at 3, with 4 and 5 locked beside it.
printf '\x03\x00\x00\x00' > "$WORK/game/Files/003/zivazo.dat"
start_xvfb 1280x720
start_game_window


# Reddish pixels in the row of world numbers right of the chosen one (virtual x 477 to 800,
# y 570 to 640 in an 800 x 600 window): the locked world next to it is drawn at half alpha.
red_count() { "$WINDOW_PIXEL" "$wid" 298 356 200 44 | awk '$1 > $3 + 20 { n++ } END { print n + 0 }'; }
# Mid-slide the numbers pass through the row faster and brighter; at rest world 4 shows alone.
red_shown() { local n; n=$(red_count); [ "$n" -gt 40 ] && [ "$n" -lt 500 ]; }
red_faded() { [ "$(red_count)" -lt 10 ]; }
wait_until "the title screen with world 3 chosen" red_shown
press Left
wait_until "world 2 chosen (the locked worlds one step further away)" red_faded
press Right
wait_until "world 3 chosen again" red_shown
press Right
sleep 1
red_shown || fail "Right went past the start-world limit"

# E opens the editor on the player's own levels (a game of mode 0); Quit in its pause menu
# brings the title back. (A game started with a fire key is played in test_game.sh.)
press e
off_title() { ! on_title; }
wait_until "the editor" off_title
[ -f "$WORK/game/Levels/My Levels.txt" ] || fail "the editor made no \"My Levels.txt\""
# A click on the middle column puts a ball there; S copies the work back: one line changes.
xdotool mousemove 400 60
sleep 0.3
xdotool mousedown 1; sleep 0.15; xdotool mouseup 1
press s
one_line_changed() {
  [ "$(diff "$WORK/game/Files/003/blank.txt" "$WORK/game/Levels/My Levels.txt" | grep -c '^>')" = 1 ]
}
wait_until "one line of \"My Levels.txt\" changed" one_line_changed
grep -q '"                                                1340' "$WORK/game/Levels/My Levels.txt" ||
  fail "the ball is not in cell 12 of level 1"
press Escape
press Down
press space
# The game's end asks for a name ; Return keeps the name.
wait_until "the editor's record" test -s "$WORK/game/Files/003/nuscores.dat"
wait_until "the name prompt" name_prompt_shown
press Return
wait_until "the title again" on_title
game_running || fail "the game ended after the editor"

leave_through_farewell
echo ok
