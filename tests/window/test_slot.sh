# The slot machine played as a player would: pick it on the menu, click to stop the reels as
# they come in until a losing card shows the result, Space for a new play, a few more plays,
# then Escape and "はい" back to the menu; the score file then holds the best Slot score.
source "$(dirname "$0")/lib.sh"
open_game

# The game item sits 2 px up and left of the scene origin: item point (x, y) is near window
# pixel (x, y).
item_click() { click_at "$win" "$1" "$2"; }
# The result dialog dims the pay line's pointer with everything else.
result_shown() { awk -v a="$(slot_pointer_light)" -v b="$play_pointer" 'BEGIN { exit !(a < b * 0.5) }'; }
# Mean brightness of the pay band: lit by cards and the band in play, dimmed under a dialog.
band_light() {
    shot "$win" "$WORK/band.png"
    /usr/bin/convert "$WORK/band.png" -crop 900x150+60+215 -colorspace gray -format "%[fx:mean]" info:
}

# Slot is menu entry 4: first column, fifth row.
pick_entry 464 523 3
play_pointer=$(slot_pointer_light)
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
    press space 1.2
    result_shown && fail "Space did not start a new play (round $round)"
    play_once
done

# Space once more, then Escape and "はい". The question is told by the dimmed pointer: the
# band's own light depends on how far the reels have come in when it is measured.
press space 1
value=$(leave_and_read_best slot_pointer_light "$play_pointer" 5)
check_best Slot "$value" 1 100 "Slot scores are whole hundreds"
keep_shots slot_play.png slot_result.png
echo "Slot best score $value"
