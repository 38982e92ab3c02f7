#!/usr/bin/env bash
# The level editor's check in the real binary: E opens the editor on level 1, F5 runs the solver
# shipped in the game folder beside the game and shows the answer in green while the level goes on;
# F6 then walks the found route to the left edge, where the level starts again. Level 2, a block
# the sheep cannot pass before it can jump, has no route: the answer in red after the longest
# search, and the log says how many frames were drawn while it ran. Escape, Quit and Return at
# the name prompt leave the editor.
source "$(dirname "$0")/lib.sh"
WINDOW_PIXEL=${3:?window_pixel path}

copy_game
[ -x "$WORK/game/level_solver" ] || fail "no level_solver in the game folder"
awk '/\(grp==/ { g = /\(grp==1\)/ } g && /case 2:/ && !done { sub(/LevDat,""/, "LevDat,\"J340\""); done = 1 } { print }' \
  "$WORK/game/Files/003/blank.txt" > "$WORK/game/Levels/My Levels.txt"
grep -q 'J340' "$WORK/game/Levels/My Levels.txt" || fail "level 2 was not written"
start_xvfb 1280x720
start_game_window

wait_until "the title screen" on_title
press e
wait_until "the editor's first level" levels_set_up 1
press F5
wait_for_log "Level check of level 1: Completable in"
grep -F "Level check of level 1" "$WORK/game/Files/Debug.txt" | tr -d '\r'
# The answer at the bottom left of the 800 x 600 window, in green or red.
green_answer() {
  "$WINDOW_PIXEL" "$wid" 0 560 300 40 | awk '$2 > 200 && $1 < 120 && $3 < 120 { n++ } END { exit !(n > 50) }'
}
red_answer() {
  "$WINDOW_PIXEL" "$wid" 0 560 300 40 | awk '$1 > 200 && $2 < 120 && $3 < 120 { n++ } END { exit !(n > 50) }'
}
wait_until "the green answer" green_answer

press F6
wait_for_log "Route of level 1 walked to its end in 190 frames"

# The "+" button one level on (the pointer is taken in a frame before the click), then the check
# that finds nothing.
xdotool mousemove --window "$wid" 100 72
sleep 0.3
xdotool click 1
wait_until "level 2" sh -c "grep -q '\"J340' '$WORK/stdout.txt'"
press F5
wait_for_log "Level check of level 2: No route found in 40 s of play"
grep -F "Level check of level 2" "$WORK/game/Files/Debug.txt" | tr -d '\r'
wait_until "the red answer" red_answer

press Escape
press Down
press space
wait_until "the name prompt" name_prompt_shown
press Return
wait_until "the title screen again" on_title
leave_through_farewell
echo ok
