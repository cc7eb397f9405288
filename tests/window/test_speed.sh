# Speed played as a player would: pick it on the menu, click the table cards round and round
# (good cards score, misses cost two seconds) until the clock runs out, Space for a new play,
# then Escape and "はい" back to the menu; the score file then holds the best Speed score.
source "$(dirname "$0")/lib.sh"
open_game

# Mean brightness (0..1) of a patch of felt beside the piles: lit in play, black on the result
# screen, dimmed under the question.
felt_light() { light_of 30x40+620+430; }
# Centres of the ten table cards, lowered a little so no two rectangles meet.
card_x=(196 306 156 186 336 846 716 916 786 944)
card_y=(120 290 310 500 480 120 235 300 440 485)

# Speed is menu entry 8: second column, third row.
pick_entry 598 441
play_light=$(felt_light)
below "$play_light" 0.08 && fail "the Speed table is not shown ($play_light)"
shot "$win" "$WORK/speed_play.png"

# Click i (from 0) is on card i mod 10; the felt is looked at after every third click.
click_card() {
    local i=$(($1 - 1))
    scene_click "${card_x[$((i % 10))]}" "${card_y[$((i % 10))]}"
    sleep 0.15
    if [ "$i" -eq 12 ]; then shot "$win" "$WORK/speed_play.png"; fi
}
play_until_dark 401 felt_light 0.005 "the clock never ran out" click_card 3
cp "$WORK/probe.png" "$WORK/speed_result.png"

# Space: a new play at once; Escape and "はい", then the stored best score.
value=$(replay_and_read_best felt_light 0.08 "$play_light" 9)
check_best Speed "$value" 200 200 "a Speed score is a whole number of cards played times 200"
keep_shots speed_play.png speed_result.png
echo "Speed best score $value"
