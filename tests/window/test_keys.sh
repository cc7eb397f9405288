# The game without a mouse: Tab and Enter on the menu open SameGame, the arrows and Enter clear
# tiles, Escape, Left and Enter leave through the question, and the best reaches tovira.conf;
# the arrows then open UpDown (number keys until a result, Right and Enter on its dialog back
# to the menu), Speed (number keys), Slot (Space stops the reels until a result) and Slide (the
# arrows slide tiles); Tab opens the opening, whose pages Space, Enter and Right turn back to the
# menu. The pointer stays in a corner of the screen, off the window, all along.
source "$(dirname "$0")/lib.sh"
# The entries Tab goes through on a fresh menu: the opening, the ten game entries and the
# sound and language buttons.
MENU_ENTRIES=13
open_game
xdotool mousemove 1270 790
title_light() { light_of 150x26+150+16; }

# Reading order: the opening, the (locked) endings skipped, then Setsuna, Slide, SameGame.
for k in Tab Tab Tab Tab; do press "$k" 0.2; done
press Return 1.5
play_light=$(title_light)
above "$play_light" 0.2 || fail "Tab and Enter did not open SameGame ($play_light)"

# The cursor starts on the top-left tile: down to the bottom row, then Enter on ten of its
# cells. Ten lone tiles at most cost less than the whole bar, so the play goes on.
for i in $(seq 1 7); do press Down 0.05; done
for col in $(seq 1 10); do
    press Return 0.1
    press Right 0.05
done
shot "$win" "$WORK/keys_samegame.png"

# Leaves a game through its question by keys: Escape, Left lights "はい", Enter takes it.
leave_by_keys() {
    press Escape 0.5
    press Left 0.3
    press Return 1.5
}
# From a result screen: Right lights its right button, and Enter takes it back to the menu.
menu_from_result() {
    press Right 0.3
    press Return 1.5
}
leave_by_keys
best=$(stored_best 2)
check_best SameGame "$best"

# Back on the menu the light is where it was, on SameGame: Right lights UpDown beside it.
press Right 0.3
press Return 1.5
above "$(updown_felt_light)" 0.08 || fail "Right and Enter did not open UpDown"
# The number keys 1 to 5 pick the places in turn until a wrong card ends a play that scored.
good=0
for i in $(seq 1 200); do
    press $((i % 5 + 1)) 0.3
    if below "$(updown_felt_light)" 0.005; then
        [ "$good" -gt 0 ] && break
        press space
    else
        good=$((good + 1))
    fi
done
[ "$good" -gt 0 ] && below "$(updown_felt_light)" 0.005 || fail "the number keys never ended an UpDown play"
shot "$win" "$WORK/keys_updown.png"
menu_from_result
updown=$(stored_best 7)
check_best UpDown "$updown" 200 200

# Down twice from UpDown: Speed. The number keys play its ten table cards (0 is the tenth).
press Down 0.2
press Down 0.2
press Return 1.5
for round in 1 2 3; do
    for k in 1 2 3 4 5 6 7 8 9 0; do press "$k" 0.12; done
done
shot "$win" "$WORK/keys_speed.png"
leave_by_keys
speed=$(stored_best 9)
check_best Speed "$speed" 200 200

# Left of Speed is Shooting, below it Slot. Space stops the oldest spinning reel until a lost
# reel shows the result, which dims the pay line's red pointer.
press Left 0.2
press Down 0.2
press Return 1.5
play_pointer=$(slot_pointer_light)
above "$play_pointer" 0.3 || fail "Left, Down and Enter did not open Slot ($play_pointer)"
stops=0
until below "$(slot_pointer_light)" "$(awk -v a="$play_pointer" 'BEGIN { print a * 0.5 }')"; do
    stops=$((stops + 1))
    [ "$stops" -le 40 ] || fail "Space never ended a Slot play"
    press space 0.6
done
shot "$win" "$WORK/keys_slot.png"
menu_from_result

# Up four times to Setsuna and Right: Slide. Each arrow slides the tile beside the gap into it.
for i in 1 2 3 4; do press Up 0.2; done
press Right 0.2
press Return 2
shot "$win" "$WORK/slide_before.png"
for k in Left Up Right Down Left Up; do press "$k" 0.3; done
shot "$win" "$WORK/keys_slide.png"
[ "$(area_diff "$WORK/slide_before.png" "$WORK/keys_slide.png" 735x368+163+119)" -gt 2000 ] ||
    fail "the arrows slid no Slide tile"
leave_by_keys

# The light is on Slide, the third entry: Tab round the rest of the entries reaches the
# opening (the locked endings left out), and Enter opens it.
title_before=$(title_light)
for i in $(seq 1 $((MENU_ENTRIES - 2))); do press Tab 0.15; done
press Return 3.5
shot "$win" "$WORK/keys_story.png"
title_now=$(title_light)
[ "$title_now" != "$title_before" ] || fail "Enter on the opening did not open it"
# Space, Enter and Right turn its ten pages; the last turn brings the menu back.
for k in space Return Right space Return Right space Return Right space; do press "$k" 0.6; done
sleep 0.6
[ "$(title_light)" = "$title_before" ] || fail "the keys did not turn the opening back to the menu"
keep_shots keys_samegame.png keys_updown.png keys_speed.png keys_slot.png keys_slide.png keys_story.png
echo "By keys: SameGame $best, UpDown $updown, Speed $speed, Slot ended after $stops stops," \
    "Slide slid, the opening read to its end"
