#!/usr/bin/env bash
# The real binary starts from its game folder, writes the log banner byte for byte and ends
# with exit code 0.
source "$(dirname "$0")/lib.sh"

copy_game
start_xvfb
start_game
wait_for_log "Loading"
wait_for_exit 0

printf 'Corvenna'"'"'s Pellmoor Engine\r\n----------------------------\r\nWeek #3\r\n----------------------------\r\n#3 : Lambrisk \r\n----------------------------\r\n\r\nLoading\r\n' > "$WORK/banner.txt"
head -c "$(stat -c %s "$WORK/banner.txt")" "$WORK/game/Files/Debug.txt" | cmp -s - "$WORK/banner.txt" \
  || fail "the banner differs"
log_has "Finished Loading" || fail "no Finished Loading line"
[ -e "$WORK/game/Files/003/crash.dat" ] && fail "crash.dat left behind"
echo "ok"
