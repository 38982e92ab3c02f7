#!/usr/bin/env bash
# Started where no X display opens (over SSH, DISPLAY unset or naming a display nobody serves),
# the real binary says so in one line on standard error and nothing else there (no sound
# library's complaints on a machine without a sound card), and ends with exit code 1.
source "$(dirname "$0")/lib.sh"

copy_game
# A display number with no server behind it.
free=90
while [ -e "/tmp/.X11-unix/X$free" ] || [ -e "/tmp/.X$free-lock" ]; do free=$((free + 1)); done

for display in "" ":$free"; do
  if [ -z "$display" ]; then unset DISPLAY; else export DISPLAY=$display; fi
  rm -f "$WORK/game/Files/Debug.txt"
  start_game
  wait_for_exit 1
  printf 'lambrisk: cannot open the X display "%s": is DISPLAY set?\n' "$display" >"$WORK/expected.txt"
  cmp -s "$WORK/expected.txt" "$WORK/stderr.txt" || fail "standard error with DISPLAY '$display' differs: $(cat "$WORK/stderr.txt")"
  log_has "Could not open a display" || fail "the log does not say why"
done
unset DISPLAY
echo "ok"
