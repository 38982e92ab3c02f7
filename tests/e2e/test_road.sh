#!/usr/bin/env bash
# A new player's whole road in the real binary. First start with no files: the settings panel
# (the master volume dragged to 80, Start bound to Q), a game through the first level on to a
# death, the pause menu's Continue and then Quit, "Game Over", a name typed, the score on the
# Hiscore tab, the editor (a click, S, Quit), Apply to 1024 x 768, Escape through the farewell.
# A second start finds all of it as it was left and is killed in the middle of a game; a third
# start still finds everything. With E2E_SHOTS set to a folder, the F11 screenshots of the title,
# a level, the editor and the score table are copied there (the README's pictures).
source "$(dirname "$0")/lib.sh"
WINDOW_PIXEL=${3:?window_pixel path}

copy_game
start_xvfb 1600x900
start_game_window
wait_until "the title screen" on_title

shots=0
# F11, then the screenshot copied under a name when E2E_SHOTS asks for the pictures.
screenshot() {
  shots=$((shots + 1))
  xdotool key F11
  saved() { [ "$(grep -c $'^\tSaved Screenshot' "$WORK/game/Files/Debug.txt")" -ge "$shots" ]; }
  wait_until "screenshot $shots" saved
  if [ -n "${E2E_SHOTS:-}" ]; then
    mkdir -p "$E2E_SHOTS"
    cp "$(ls -t "$WORK/game/Files/"*.png | head -n 1)" "$E2E_SHOTS/$1.png"
  fi
}
# A level set up twice in a row: the sheep died and the level started again.
died() { grep '^"' "$WORK/stdout.txt" | uniq -d | grep -q .; }
# The first row of the side panel's table (light grey or white text).
first_row_shown() {
  "$WINDOW_PIXEL" "$wid" 543 222 247 30 | awk '$1 > 140 && $2 > 140 && $3 > 140 { n++ } END { exit !(n > 30) }'
}
# The open panel's light bottom edge crosses window row 199 at 800 x 600.
panel_open() { [ "$("$WINDOW_PIXEL" "$wid" 400 199)" = "180 255 180" ]; }
panel_closed() { ! panel_open; }
setup_has() { grep -qF "$1" "$WORK/game/Files/Setup.ini"; }
click_at() {
  xdotool mousemove "$1" "$2"
  wait_until "the pointer at $1,$2" sh -c "xdotool getmouselocation | grep -q 'x:$1 y:$2 '"
  xdotool mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.15
}

# The settings panel: drag the master volume's marker to 80 (virtual x 1078 is window 674), hover
# player 1's Start button and press Q to bind it, then Tab writes the setup file.
screenshot title
xdotool key Tab
wait_until "the open settings panel" panel_open
xdotool mousemove 674 60
wait_until "the pointer on the slider" sh -c "xdotool getmouselocation | grep -q 'x:674 y:60 '"
xdotool mousedown 1; sleep 0.3; xdotool mouseup 1
xdotool mousemove 290 70
wait_until "the pointer on the Start button" sh -c "xdotool getmouselocation | grep -q 'x:290 y:70 '"
press q
xdotool mousemove 400 500
press Tab
wait_until "the volume in the setup file" setup_has "Master = 80"
setup_has "Key=10,81" || fail "Start is not bound to Q: $(cat -A "$WORK/game/Files/Setup.ini")"
wait_until "the panel gone" panel_closed

# A game: Q starts it now; the first level walked through, then on until the sheep is hit.
press q
wait_until "the first level" levels_set_up 1
screenshot game
xdotool keydown Left
wait_until "the second level" levels_set_up 2
# Each new level waits for Left to be let go before the sheep walks: walk on, level after level,
# until something hits the sheep.
echo 1 > "$WORK/levels-walked"
walk_until_hit() {
  died && return 0
  local now
  now=$(grep -c '^"' "$WORK/stdout.txt")
  if [ "$now" != "$(cat "$WORK/levels-walked")" ]; then
    echo "$now" > "$WORK/levels-walked"
    xdotool keyup Left; sleep 0.2; xdotool keydown Left
  fi
  return 1
}
wait_until "a death" walk_until_hit
xdotool keyup Left
# The pause menu: Escape on Continue goes back to the game, Down and fire choose Quit.
press Escape
press Escape
game_running || fail "the game ended at Continue"
game_over_shown && fail "Continue ended the game"
press Escape
press Down
press space
wait_until "Game Over" game_over_shown
wait_until "the name prompt" name_prompt_shown
for _ in 1 2 3 4 5 6; do press BackSpace; done
xdotool type --delay 120 Road
press Return
wait_until "the title again" on_title
wait_until "the score on the Hiscore tab" first_row_shown
screenshot scores

# The editor: a ball put into the middle column of level 1, S, Quit in its pause menu.
press e
off_title() { ! on_title; }
wait_until "the editor" off_title
click_at 400 60
press s
one_line_changed() {
  [ "$(diff "$WORK/game/Files/003/blank.txt" "$WORK/game/Levels/My Levels.txt" | grep -c '^>')" = 1 ]
}
wait_until "the edit in \"My Levels.txt\"" one_line_changed
screenshot editor
press Escape
press Down
press space
wait_until "the name prompt after the editor" name_prompt_shown
press Return
wait_until "the title after the editor" on_title

# Apply another size: the next mode after 800 x 600 (1024 x 768 on this screen), then Apply
# (window 25,183).
xdotool key Tab
wait_until "the open settings panel" panel_open
click_at 70 66
click_at 25 183
wait_for_log $'\tResolution : 1024x768,0'
reloaded() { [ "$(grep -c '^-=-=-=-=-=-=-=-=-=-=-=-=-=-' "$WORK/game/Files/Debug.txt")" -ge 4 ]; }
wait_until "the reload after Apply" reloaded
leave_through_farewell
for line in "Width=1024" "Height=768" "Master = 80" "Key=10,81"; do
  setup_has "$line" || fail "setup file lacks $line: $(cat -A "$WORK/game/Files/Setup.ini")"
done
keep=$WORK/kept
mkdir -p "$keep"
cp "$WORK/game/Files/Setup.ini" "$WORK/game/Files/003/nuscores.dat" "$WORK/game/Levels/My Levels.txt" "$keep/"
same_as_left() {
  for f in "Files/Setup.ini" "Files/003/nuscores.dat" "Levels/My Levels.txt"; do
    cmp -s "$WORK/game/$f" "$keep/$(basename "$f")" || fail "$f changed: $1"
  done
}

# Second start: the size, the volume, the key, the score and the level as they were left.
rm -f "$WORK/game/Files/Debug.txt"
start_game
wait_for_log "Finished Loading"
log_has $'\tResolution : 1024x768,0' || fail "the second start is not 1024 x 768"
same_as_left "by the second start"
wid=$(xdotool search --sync --name '^#3 : Lambrisk $' | head -n 1)
# The first row of the Hiscore table, where it is at 800 x 600 times 1.28.
scores_at_1024() {
  "$WINDOW_PIXEL" "$wid" 695 284 316 38 | awk '$1 > 140 && $2 > 140 && $3 > 140 { n++ } END { exit !(n > 30) }'
}
wait_until "the score on the Hiscore tab at 1024 x 768" scores_at_1024
press q
wait_until "a game started by Q" levels_set_up 1
xdotool keydown Left
kill -9 "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=""
xdotool keyup Left

# Third start after the kill: still everything.
rm -f "$WORK/game/Files/Debug.txt"
start_game
wait_for_log "Finished Loading"
same_as_left "after a kill in the middle of a game"
leave_through_farewell
echo ok
