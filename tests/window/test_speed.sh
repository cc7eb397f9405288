# Speed played as a player would: pick it on the menu, click the table cards round and round
# (good cards score, misses cost two seconds) until the clock runs out, Space for a new play,
# then Escape and "はい" back to the menu; the score file then holds the best Speed score.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
win=$(wait_window)
sleep 1.5

# Scene point (x, y) is window pixel (x + 2, y + 2).
scene_click() { click_at "$win" $(($1 + 2)) $(($2 + 2)); }
# Mean brightness (0..1) of a patch of felt beside the piles: lit in play, black on the result
# screen, dimmed under the question.
felt_light() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop 30x40+620+430 -colorspace gray -format "%[fx:mean]" info:
}
# Centres of the ten table cards, lowered a little so no two rectangles meet.
card_x=(196 306 156 186 336 846 716 916 786 944)
card_y=(120 290 310 500 480 120 235 300 440 485)

# Speed is menu entry 8: second column, third row.
click_at "$win" 598 441
sleep 1
play_light=$(felt_light)
below "$play_light" 0.08 && fail "the Speed table is not shown ($play_light)"
shot "$win" "$WORK/speed_play.png"

result=
for i in $(seq 0 400); do
    c=$((i % 10))
    scene_click "${card_x[$c]}" "${card_y[$c]}"
    sleep 0.15
    [ "$i" -eq 12 ] && shot "$win" "$WORK/speed_play.png"
    if [ $((i % 3)) -eq 2 ] && below "$(felt_light)" 0.005; then
        result=yes
        break
    fi
done
[ -n "$result" ] || fail "the clock never ran out"
cp "$WORK/probe.png" "$WORK/speed_result.png"

# Space: a new play at once.
xdotool key --window "$win" space
sleep 0.5
below "$(felt_light)" 0.08 && fail "Space did not start a new play"

# Escape and "はい", then the stored best score.
value=$(leave_and_read_best felt_light "$play_light" 9)
line="game9=$value"
[ -n "$value" ] && [ "$value" -ge 200 ] || fail "no Speed best score in tovira.conf ($line)"
[ $((value % 200)) -eq 0 ] || fail "a Speed score is a whole number of cards played times 200 ($value)"
if [ -n "${KEEP_SHOTS:-}" ]; then cp "$WORK/speed_play.png" "$WORK/speed_result.png" "$KEEP_SHOTS/"; fi
echo "Speed best score $value"
