# The slot machine played as a player would: pick it on the menu, click to stop the reels as
# they come in until a losing card shows the result, Space for a new play, a few more plays,
# then Escape and "はい" back to the menu; the score file then holds the best Slot score.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
win=$(wait_window)
sleep 1.5

# The game item sits 2 px up and left of the scene origin: item point (x, y) is near window
# pixel (x, y).
item_click() { click_at "$win" "$1" "$2"; }
# Brightness of the red pointer at the left end of the pay line: the overlay draws it over the
# reels in play, the result dialog dims it with everything else.
pointer_light() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop 6x8+4+288 -colorspace gray -format "%[fx:mean]" info:
}
result_shown() { awk -v a="$(pointer_light)" -v b="$play_pointer" 'BEGIN { exit !(a < b * 0.5) }'; }
# Mean brightness of the pay band: lit by cards and the band in play, dimmed under a dialog.
band_light() {
    shot "$win" "$WORK/band.png"
    /usr/bin/convert "$WORK/band.png" -crop 900x150+60+215 -colorspace gray -format "%[fx:mean]" info:
}

# Slot is menu entry 4: first column, fifth row.
click_at "$win" 464 523
sleep 3
play_pointer=$(pointer_light)
awk -v a="$play_pointer" 'BEGIN { exit !(a > 0.3) }' || fail "no pay-line pointer in play ($play_pointer)"
cp "$WORK/probe.png" "$WORK/slot_play.png"
play_light=$(band_light)
awk -v a="$play_light" 'BEGIN { exit !(a > 0.2) }' || fail "the slot machine is not shown ($play_light)"

# One play: a click whenever a reel has come well in, until the result dialog is up.
play_once() {
    local i
    for i in $(seq 1 40); do
        item_click 500 120
        sleep 0.6
        if result_shown; then
            return 0
        fi
    done
    fail "no result dialog after 40 stops"
}

play_once
cp "$WORK/probe.png" "$WORK/slot_result.png"

# Space: a new play at once. More plays make a scoring stop all but certain.
for round in $(seq 1 14); do
    xdotool key --window "$win" space
    sleep 1.2
    result_shown && fail "Space did not start a new play (round $round)"
    play_once
done

# Space once more, then Escape and "はい" (left button, item centre (362, 338)).
xdotool key --window "$win" space
sleep 1
xdotool key --window "$win" Escape
sleep 0.5
question=$(band_light)
awk -v a="$question" -v b="$play_light" 'BEGIN { exit !(a < b * 0.5) }' ||
    fail "Escape did not show the question ($question against $play_light)"
item_click 362 338
sleep 1.5
kill -0 "$GAME_PID" || fail "the game exited"
line=$(grep '^game5=' "$WORK/game/tovira.conf" || true)
value=${line#game5=}
[ -n "$value" ] && [ "$value" -gt 0 ] || fail "no Slot best score in tovira.conf ($line)"
[ $((value % 100)) -eq 0 ] || fail "Slot scores are whole hundreds ($value)"
if [ -n "${KEEP_SHOTS:-}" ]; then cp "$WORK/slot_play.png" "$WORK/slot_result.png" "$KEEP_SHOTS/"; fi
echo "Slot best score $value"
