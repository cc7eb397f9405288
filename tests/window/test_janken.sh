# Janken played as a player would: pick it on the menu, throw hands with the arrow keys until a
# draw or a loss shows the result, Space for a new play, then Escape and "はい" back to the menu;
# the score file then holds the best Janken score.
source "$(dirname "$0")/lib.sh"
open_game

# Mean brightness (0..1) of a patch of the stage boards: lit in play, black on the result
# screen, dimmed under the question.
boards_light() { light_of 120x30+250+500; }

# Janken is menu entry 7: second column, third row.
pick_entry 598 359
play_light=$(boards_light)
below "$play_light" 0.2 && fail "the Janken stage is not shown ($play_light)"
shot "$win" "$WORK/janken_play.png"

# Throw hands until Tovira wins or draws; each key acts on its release.
keys=(Up Right Left)
throw_hand() { press "${keys[$(($1 % 3))]}" 0.25; }
play_until_dark 200 boards_light 0.02 "no result screen after 50 s of play" throw_hand
cp "$WORK/probe.png" "$WORK/janken_result.png"

# Space: a new play at once; Escape and "はい", then the stored best score.
value=$(replay_and_read_best boards_light 0.2 "$play_light" 8)
check_best Janken "$value" 1 125 "a Janken score is a whole number of seconds times 125"
keep_shots janken_play.png janken_result.png
echo "Janken best score $value"
