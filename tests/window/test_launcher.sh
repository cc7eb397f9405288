# The launcher in the real game: pointing at a game entry changes the information picture and
# the best-score line, empty space keeps them, a story entry brings back the welcome card, and
# an entry whose game is missing or a locked ending leaves the launcher up, and so does the
# tenth entry when its sibling program is missing, with a notice on the stage saying so.
source "$(dirname "$0")/lib.sh"


# Best score 4,321 for Typing (menu index 2), a total of 4,321: every ending locked.
write_scores 0 0 4321 0 0 0 0 0 0 0
open_game

# Launcher item coordinates are window coordinates give or take the view's frame; every point
# below is well inside its entry.
INFO="290x400+716+158"
BOARD="147x20+784+113"
xdotool mousemove --window "$win" 300 60
sleep 0.5
shot "$win" "$WORK/welcome.png"

# Typing's entry: column one, third row (157 + 2 * 82).
xdotool mousemove --window "$win" 465 360
sleep 0.5
shot "$win" "$WORK/typing.png"
[ "$(area_diff "$WORK/welcome.png" "$WORK/typing.png" "$INFO")" -gt 1000 ] ||
    fail "the information picture did not change on hover"
[ "$(area_diff "$WORK/welcome.png" "$WORK/typing.png" "$BOARD")" -gt 20 ] ||
    fail "the best-score line did not change on hover"

# Empty space keeps the entry's picture and score.
xdotool mousemove --window "$win" 300 60
sleep 0.5
shot "$win" "$WORK/kept.png"
[ "$(area_diff "$WORK/typing.png" "$WORK/kept.png" "290x572+716+0")" -eq 0 ] ||
    fail "empty space changed the information picture or the score board"

# The opening's entry brings the welcome card and an empty second line back.
xdotool mousemove --window "$win" 100 380
sleep 0.5
shot "$win" "$WORK/story.png"
[ "$(area_diff "$WORK/welcome.png" "$WORK/story.png" "290x572+716+0")" -eq 0 ] ||
    fail "a story entry did not bring back the welcome card"

# A locked ending (first ending, top right of the story block) ignores the click.
click_at "$win" 270 380
sleep 0.8
shot "$win" "$WORK/locked.png"
# The story block itself may change: the opening's light goes out as the pointer leaves it.
[ "$(area_diff "$WORK/story.png" "$WORK/locked.png" "640x572+382+2")" -lt 200 ] ||
    fail "a click on a locked ending left the launcher"
kill -0 "$GAME_PID" || fail "the game ended"

# The tenth entry (column two, last row) with no sibling program beside the game: the game stays
# and a notice in the game's own dialog dimmed over the menu says so, no other window; Return
# closes it and the menu is back.
xdotool mousemove --window "$win" 300 60
sleep 0.5
shot "$win" "$WORK/before.png"
click_at "$win" 598 523
sleep 1.5
kill -0 "$GAME_PID" || fail "the game quit although the sibling program is missing"
[ "$(xdotool search --name "Tovira Parade" | wc -l)" -eq 1 ] || fail "the notice opened a window"
shot "$win" "$WORK/notice.png"
[ "$(area_diff "$WORK/before.png" "$WORK/notice.png" "600x160+212+210")" -gt 20000 ] ||
    fail "no notice about the sibling"
# The notice holds the keyboard focus.
xdotool key Return
sleep 0.8
xdotool mousemove --window "$win" 300 60
sleep 0.5
shot "$win" "$WORK/after.png"
[ "$(area_diff "$WORK/before.png" "$WORK/after.png" "700x572+2+2")" -lt 200 ] ||
    fail "the notice did not close"
kill -0 "$GAME_PID" || fail "the game ended"

keep_shots welcome.png typing.png
echo "hover, keep, welcome card, locked ending and missing sibling checked"
