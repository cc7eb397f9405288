# SameGame played as a player would: pick it on the menu, clear tiles with clicks, click lone
# tiles until the time bar is full, see the retry question, Space for a new board, then Escape
# and "はい" back to the menu; the score file then holds the best SameGame score.
source "$(dirname "$0")/lib.sh"
open_game

cell_click() { scene_click $((122 + 60 * $1 + 30)) $((58 + 60 * $2 + 30)); }
# Brightness (0..1) of the gold title on the backdrop: bright in play, dimmed under a dialog.
title_light() { light_of 150x26+150+16; }
is_dim() { awk -v a="$(title_light)" -v b="$1" 'BEGIN { exit !(a < b * 0.5) }'; }

# SameGame is menu entry 1.
pick_entry 464 277
play_light=$(title_light)
awk -v a="$play_light" 'BEGIN { exit !(a > 0.2) }' || fail "the SameGame board is not shown ($play_light)"

# A few clicks on the bottom row, then a look at the board in play.
for col in 0 3 6 9; do
    cell_click "$col" 7
    sleep 0.05
done
scene_click 600 400
sleep 0.3
shot "$win" "$WORK/samegame_play.png"
is_dim "$play_light" && fail "the play ended after four clicks"

# A sweep over the bottom rows, where the tiles stay after each fall.
for round in 1 2 3; do
    for col in $(seq 0 14); do
        cell_click "$col" 7
        cell_click "$col" 6
        sleep 0.05
    done
    is_dim "$play_light" && break
done

# Clicks on the empty top-right cell cost time until the bar is full.
for i in $(seq 1 60); do
    is_dim "$play_light" && break
    cell_click 14 0
    sleep 0.3
done
sleep 0.5
is_dim "$play_light" || fail "no retry question after the bar filled"
shot "$win" "$WORK/samegame_over.png"

# Space: a new board at once.
press space
is_dim "$play_light" && fail "Space did not start a new board"

# Escape and "はい".
leave_game is_dim "$play_light"
value=$(stored_best 2)
check_best SameGame "$value"
keep_shots samegame_play.png samegame_over.png
echo "SameGame best score $value"
