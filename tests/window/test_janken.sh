# Janken played as a player would: pick it on the menu, throw hands with the arrow keys until a
# draw or a loss shows the result, Space for a new play, then Escape and "はい" back to the menu;
# the score file then holds the best Janken score.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
win=$(wait_window)
sleep 1.5

# Scene point (x, y) is window pixel (x + 2, y + 2).
scene_click() { click_at "$win" $(($1 + 2)) $(($2 + 2)); }
# Mean brightness (0..1) of a patch of the stage boards: lit in play, black on the result
# screen, dimmed under the question.
boards_light() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop 120x30+250+500 -colorspace gray -format "%[fx:mean]" info:
}

# Janken is menu entry 7: second column, third row.
click_at "$win" 598 359
sleep 1
play_light=$(boards_light)
below "$play_light" 0.2 && fail "the Janken stage is not shown ($play_light)"
shot "$win" "$WORK/janken_play.png"

# Throw hands until Tovira wins or draws; each key acts on its release.
keys=(Up Right Left)
result=
for i in $(seq 1 200); do
    xdotool key --window "$win" "${keys[$((i % 3))]}"
    sleep 0.25
    light=$(boards_light)
    if below "$light" 0.02; then
        result=yes
        break
    fi
done
[ -n "$result" ] || fail "no result screen after 50 s of play"
cp "$WORK/probe.png" "$WORK/janken_result.png"

# Space: a new play at once.
xdotool key --window "$win" space
sleep 0.5
below "$(boards_light)" 0.2 && fail "Space did not start a new play"

# Escape and "はい", then the stored best score.
value=$(leave_and_read_best boards_light "$play_light" 8)
line="game8=$value"
[ -n "$value" ] && [ "$value" -gt 0 ] || fail "no Janken best score in tovira.conf ($line)"
[ $((value % 125)) -eq 0 ] || fail "a Janken score is a whole number of seconds times 125 ($value)"
if [ -n "${KEEP_SHOTS:-}" ]; then cp "$WORK/janken_play.png" "$WORK/janken_result.png" "$KEEP_SHOTS/"; fi
echo "Janken best score $value"
