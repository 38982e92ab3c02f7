#!/usr/bin/env bash
# The real binary starts from its game folder, opens its default window, writes the log banner
# byte for byte and ends through the farewell with exit code 0; a terminate signal ends it in
# order too.
source "$(dirname "$0")/lib.sh"

copy_game
start_xvfb
start_game_window
xdotool windowfocus --sync "$wid" 2>/dev/null || true
geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "800x600" ] || fail "window is $geometry, expected the default 800x600"

# Escape leaves the title screen; the farewell then waits for a new key.
xdotool keydown Escape
wait_for_log "Play again, soon!!"
xdotool keyup Escape
xdotool keydown space
wait_for_exit 0
xdotool keyup space

printf 'Corvenna'"'"'s Pellmoor Engine\r\n----------------------------\r\nWeek #3\r\n----------------------------\r\n#3 : Lambrisk \r\n----------------------------\r\n\r\nLoading\r\n' > "$WORK/banner.txt"
head -c "$(stat -c %s "$WORK/banner.txt")" "$WORK/game/Files/Debug.txt" | cmp -s - "$WORK/banner.txt" \
  || fail "the banner differs"
log_has "Finished Loading" || fail "no Finished Loading line"
[ -e "$WORK/game/Files/003/crash.dat" ] && fail "crash.dat left behind"

# A terminate signal closes the title screen in an orderly way: the setup saved, the log ended,
# exit code 0, and no key wait.
rm -f "$WORK/game/Files/Setup.ini" "$WORK/game/Files/Debug.txt"
start_game
wait_for_log "Finished Loading"
kill -TERM "$GAME_PID"
wait_for_exit 0
[ -s "$WORK/game/Files/Setup.ini" ] || fail "no Setup.ini after SIGTERM"
tail -c 20 "$WORK/game/Files/Debug.txt" | grep -qF "Play again, soon!!" || fail "the log did not end after SIGTERM"
echo "ok"
