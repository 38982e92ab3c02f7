#!/usr/bin/env bash
# A 16:9 window from the setup file, the crash guard, Tab rewriting the setup file, Apply on the
# settings panel reopening the display, an F11 screenshot, and Alt+F4 through the farewell to exit
# code 0.
source "$(dirname "$0")/lib.sh"
PNG_PROBE=${2:?png_probe path}
WINDOW_PIXEL=${3:?window_pixel path}

copy_game
printf 'Width=1280\r\nHeight=720\r\n' > "$WORK/game/Files/Setup.ini"
start_xvfb 1600x900
start_game
wait_for_log "Finished Loading"
log_has $'\tResolution : 1280x720,0' || fail "no 1280x720 window line"
log_has $'\tWidescreen mode!' || fail "no widescreen line"
[ -e "$WORK/game/Files/003/crash.dat" ] && fail "crash.dat still there after loading"

wid=$(xdotool search --sync --name '^#3 : Lambrisk $' | head -n 1)
[ -n "$wid" ] || fail "no game window"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "1280x720" ] || fail "window is $geometry"

# Tab toggles the settings panel and rewrites the setup file.
before=$(stat -c %Y.%s "$WORK/game/Files/Setup.ini")
xdotool key Tab
setup_rewritten() { grep -q '^\[Controls\]' "$WORK/game/Files/Setup.ini"; }
wait_until "the setup file" setup_rewritten
printf '[Graphics]\r\nFullscreen = False\r\nGFX Engine = OpenGL\r\nWidth=1280\r\nHeight=720\r\n\r\n[Audio]\r\nMaster = 50\r\nSound = 50\r\nMusic = 50\r\nAudioDriver = OpenAL\r\n; AudioDriver = OpenAL\r\n; AudioDriver = OSS\r\n; AudioDriver = Null\r\n\r\n[Controls]\r\nKey=0,38\r\nKey=3,37\r\nKey=5,39\r\nKey=8,40\r\nKey=10,90\r\nKey=11,88\r\nKey=12,67\r\nKey=13,86\r\n' > "$WORK/expected-setup.ini"
cmp -s "$WORK/game/Files/Setup.ini" "$WORK/expected-setup.ini" || fail "setup file differs: $(cat -A "$WORK/game/Files/Setup.ini")"
[ "$before" != "$(stat -c %Y.%s "$WORK/game/Files/Setup.ini")" ] || fail "setup file not rewritten"

# "Apply" on the open panel (virtual 20,280 is window 16,224 at this size) closes the panel and
# opens the display again: the whole display step runs a second time, engine test included. The
# click waits for the panel to stop sliding: its light bottom edge then crosses window row 255.
panel_open() { [ "$("$WINDOW_PIXEL" "$wid" 400 255)" = "180 255 180" ]; }
wait_until "the open settings panel" panel_open
applied_twice() { [ "$(grep -c '^Applying Graphical Settings' "$WORK/game/Files/Debug.txt")" -ge 2 ]; }
xdotool mousemove 20 230
wait_until "the pointer over Apply" sh -c "xdotool getmouselocation | grep -q 'x:20 y:230'"
xdotool click 1
wait_until "a second display step" applied_twice
reloaded() { [ "$(grep -c '^-=-=-=-=-=-=-=-=-=-=-=-=-=-' "$WORK/game/Files/Debug.txt")" -ge 4 ]; }
wait_until "the reload to finish" reloaded
log_has $'\tChanged Graphics Mode ingame.' || fail "no in-game mode change line"
game_running || fail "the game ended after Apply"

# F11 saves a screenshot of the real window size, fully opaque, in Files/.
xdotool key F11
shot_saved() { ls "$WORK/game/Files/"*.png; }
wait_until "a screenshot" shot_saved
wait_for_log $'\tSaved Screenshot 1'
shot=$(ls "$WORK/game/Files/"*.png | head -n 1)
case "$(basename "$shot")" in
  "Lambrisk  (Screenshot_"*")"*.png) ;;
  *) fail "screenshot name $(basename "$shot")" ;;
esac
read -r w h opaque < <("$PNG_PROBE" "$shot") || fail "screenshot unreadable"
[ "$w $h $opaque" = "1280 720 1" ] || fail "screenshot is $w x $h, opaque $opaque"
ls "$WORK/game/Files/003/"*.png 2>/dev/null | grep -q Screenshot && fail "screenshot in the game folder"

# Alt+F4 held reaches the farewell; a new key press after releasing ends the program.
xdotool keydown alt keydown F4
wait_for_log "Play again, soon!!"
xdotool keyup F4 keyup alt
xdotool keydown space
wait_for_exit 0
xdotool keyup space
grep -q '^\[Controls\]' "$WORK/game/Files/Setup.ini" || fail "farewell lost the setup file"
echo ok
