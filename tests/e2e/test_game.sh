#!/usr/bin/env bash
# A game played in the real binary: Z starts it at world 1 (its level text is printed on standard
# output), holding Left walks the sheep through the level into the next one (a second level text,
# a different picture), Escape opens the pause menu, Quit ends the game with "Game Over" in
# yellow, the game is in the score file at once and its replay beside it (which replay_check
# proves): killed at the name prompt, the next start shows it on the Hiscore tab; Escape then
# leaves with exit code 0.
source "$(dirname "$0")/lib.sh"
WINDOW_PIXEL=${3:?window_pixel path}

copy_game
start_xvfb 1280x720
start_game_window

wait_until "the title screen" on_title
press z
wait_until "the first level" levels_set_up 1
xdotool keydown Left
# 189 frames of walking, then the bonus paid and 21 frames more: the second level is set up.
wait_until "the second level" levels_set_up 2
xdotool keyup Left
game_running || fail "the game ended while walking"

press Escape
press Down
press space
wait_until "Game Over" game_over_shown
# The finished game is in the score file before the name is even asked for: killed at the
# prompt, the program keeps it, and the next start shows it on the Hiscore tab.
scores_saved() { [ -s "$WORK/game/Files/003/nuscores.dat" ] && [ "$(wc -l < "$WORK/game/Files/003/nuscores.dat")" -ge 2 ]; }
wait_until "the game in the score file" scores_saved
# Its replay beside it, which the shipped replay_check proves from the game folder's own levels.
replay_saved() { compgen -G "$WORK/game/Files/003/replays/*.txt" >/dev/null; }
wait_until "the game's replay" replay_saved
proof=$("$WORK/game/replay_check" "$WORK"/game/Files/003/replays/*.txt) || fail "replay_check: $proof"
case "$proof" in *" world 1 mode 1 flags 0 score "*" level 2 lives 3 frames "*" proven") ;; *) fail "replay_check: $proof" ;; esac
wait_until "the name prompt" name_prompt_shown
kill -9 "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
rm -f "$WORK/game/Files/Debug.txt"
start_game
wait_for_log "Finished Loading"
wid=$(xdotool search --sync --name '^#3 : Lambrisk $' | head -n 1)
wait_until "the title screen after the restart" on_title
# The first row of the best 25 in the side panel: "Player" and its score in white.
first_row_shown() {
  "$WINDOW_PIXEL" "$wid" 543 226 247 17 | awk '$1 > 200 && $2 > 200 && $3 > 200 { n++ } END { exit !(n > 30) }'
}
wait_until "the game on the Hiscore tab" first_row_shown

leave_through_farewell
echo ok
