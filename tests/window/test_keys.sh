# The game without a mouse: Tab and Enter on the menu open SameGame, the arrows and Enter clear
# tiles, Escape, Left and Enter leave through the question, and the best reaches tovira.conf;
# back on the menu, Tab and Enter open the opening. The pointer stays in a corner of the screen, off the window, all along.
source "$(dirname "$0")/lib.sh"
open_game
xdotool mousemove 1270 790
title_light() { light_of 150x26+150+16; }

# Reading order: the opening, the (locked) endings skipped, then Setsuna, Slide, SameGame.
for k in Tab Tab Tab Tab; do press "$k" 0.2; done
press Return 1.5
play_light=$(title_light)
above "$play_light" 0.2 || fail "Tab and Enter did not open SameGame ($play_light)"

# The cursor starts on the top-left tile: down to the bottom row, then Enter on the first six
# cells of the two bottom rows. A lonely tile costs the time bar three of its forty seconds, so
# a dozen presses leave the play running (more ran the bar out, and the keys after it wandered
# the menu).
for i in $(seq 1 7); do press Down 0.05; done
for col in $(seq 1 6); do
    press Return 0.05
    press Up 0.05
    press Return 0.05
    press Down 0.05
    press Right 0.05
done
shot "$win" "$WORK/keys_samegame.png"

# Escape, then Left lights "はい" and Enter takes it.
press Escape 0.5
press Left 0.3
press Return 1.5
best=$(stored_best 2)
check_best SameGame "$best"

# Back on the menu the light is where it was, on SameGame: Tab on round the seven games and
# the two corner buttons after it (the locked endings left out) reaches the opening, and Enter
# opens it.
for i in $(seq 1 10); do press Tab 0.2; done
title_before=$(title_light)
press Return 3.5
shot "$win" "$WORK/keys_story.png"
title_now=$(title_light)
[ "$title_now" != "$title_before" ] || fail "Enter on the opening did not open it"
keep_shots keys_samegame.png keys_story.png
echo "SameGame by keys: best $best; the opening opened by keys"
