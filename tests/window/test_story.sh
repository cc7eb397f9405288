# The opening in the real game: a click on its launcher entry shows the first page behind the
# lifting veil, clicks during the veil are ignored, every later click of any button turns a page,
# and the tenth click after the veil brings the launcher back without touching the score file.
source "$(dirname "$0")/lib.sh"

WHOLE="1020x572+2+2"
# The launcher's left half: logo, Tovira and the story block, which no hover changes.
LEFT="390x572+2+2"
# The text box of a page, where each page has its own sentences.
TEXT="900x110+60+430"

write_scores 10 20 0 0 0 0 0 0 0 0
open_game
shot "$win" "$WORK/launcher.png"
touch -d "2001-02-03 04:05:06" "$WORK/game/tovira.conf"
conf_before=$(stat -c %Y "$WORK/game/tovira.conf")

# The opening's entry, story entry 0 of the launcher's story block.
click_at "$win" 105 387
sleep 0.3
# Clicks while the veil is still lifting do not turn the page.
click_at "$win" 512 200
click_at "$win" 512 200
sleep 2.5
shot "$win" "$WORK/page0.png"
[ "$(area_diff "$WORK/launcher.png" "$WORK/page0.png" "$WHOLE")" -gt 200000 ] ||
    fail "the opening did not replace the launcher"
# The text box's paper field and the dark ink of the sentences.
paper=$(pixel "$WORK/page0.png" 965 440)
IFS=, read -r r g b <<<"$paper"
[ "$r" -gt 235 ] && [ "$g" -gt 225 ] && [ "$b" -gt 200 ] || fail "no text box on the first page ($paper)"

turn() {
    xdotool mousemove --window "$win" 512 200 click "${1:-1}"
    sleep 0.4
}
for i in 1 2 3 4; do turn; done
shot "$win" "$WORK/page4.png"
[ "$(area_diff "$WORK/page0.png" "$WORK/page4.png" "$TEXT")" -gt 2000 ] ||
    fail "the page did not turn (the two clicks during the veil may have counted)"
# The right and the middle button turn pages too.
for i in 5 6 7; do turn 3; done
for i in 8 9; do turn 2; done
shot "$win" "$WORK/page9.png"
[ "$(area_diff "$WORK/page4.png" "$WORK/page9.png" "$TEXT")" -gt 2000 ] || fail "no last page"
[ "$(area_diff "$WORK/launcher.png" "$WORK/page9.png" "$WHOLE")" -gt 200000 ] ||
    fail "the opening ended a page early"

# The tenth click after the veil ends the story.
turn 3
sleep 0.6
shot "$win" "$WORK/back.png"
[ "$(area_diff "$WORK/launcher.png" "$WORK/back.png" "$LEFT")" -lt 2000 ] ||
    fail "the launcher did not come back after the last page"
kill -0 "$GAME_PID" || fail "the game ended"
[ "$(stat -c %Y "$WORK/game/tovira.conf")" = "$conf_before" ] || fail "the story rewrote tovira.conf"
grep -qx "game2=20" "$WORK/game/tovira.conf" || fail "the scores changed"

# A second showing starts again at the first page.
click_at "$win" 105 387
sleep 2.5
shot "$win" "$WORK/again.png"
[ "$(area_diff "$WORK/page0.png" "$WORK/again.png" "$WHOLE")" -lt 20000 ] ||
    fail "a second showing did not start at the first page"

keep_shots page0.png page4.png page9.png back.png
echo "opening: 10 pages turned, launcher back, score file untouched"
