# UpDown played as a player would: pick it on the menu, click the five cards until a wrong one
# ends a play that made points, Space for a new play, then Escape and "はい" back to the menu;
# the score file then holds the best UpDown score.
source "$(dirname "$0")/lib.sh"
open_game

# The five places lie 150 px apart around the middle, 388 px down.
place_click() { scene_click $((512 + 150 * ($1 - 2))) 388; }

# UpDown is menu entry 6: second column, first row.
pick_entry 598 277
play_light=$(updown_felt_light)
below "$play_light" 0.08 && fail "the UpDown table is not shown ($play_light)"
shot "$win" "$WORK/updown_play.png"

# Click the places in turn. A click that leaves the table up was a good play (200 points); the
# first wrong card shows the result. A play without a good click is retried with Space.
good=0
result=
for i in $(seq 1 200); do
    place_click $((i % 5))
    sleep 0.3
    light=$(updown_felt_light)
    if below "$light" 0.005; then
        if [ "$good" -gt 0 ]; then
            result=yes
            break
        fi
        press space
    else
        good=$((good + 1))
        [ "$good" -eq 2 ] && shot "$win" "$WORK/updown_play.png"
    fi
done
[ -n "$result" ] || fail "no result screen after a play with good cards"
cp "$WORK/probe.png" "$WORK/updown_result.png"

# Space: a new play at once; Escape and "はい", then the stored best score.
value=$(replay_and_read_best updown_felt_light 0.08 "$play_light" 7)
check_best UpDown "$value" 200 200 "an UpDown score is a whole number of good plays times 200"
keep_shots updown_play.png updown_result.png
echo "UpDown best score $value after $good good plays in the last try"
