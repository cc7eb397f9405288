# Setsuna played as a player would: pick it on the menu, choose "easy" on the title, win two
# duels by clicking when the signal shows, then press too early; "残念！" comes up, Space goes
# back to the title, Escape and "はい" return to the menu, and the score file holds 400.
source "$(dirname "$0")/lib.sh"
open_game

# The game's item point (x, y) is scene point (x - 2, y - 2), so item points are window pixels.
# Mean brightness (0..1) of a patch of the item, given in item coordinates.
patch_light() {
    /usr/bin/import -window "$win" -crop "${3}x${4}+$1+$2" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -colorspace gray -format "%[fx:mean]" info:
}
# The signal's gold disc lies right of the "!" at the item's centre (512, 288).
signal_up() {
    /usr/bin/import -window "$win" -crop 1x1+540+288 txt:- | tail -n 1 |
        sed -n 's/.*srgb(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
        awk '{ exit !($1 > 235 && $2 > 190 && $2 < 230 && $3 < 100) }'
}

# Setsuna is menu entry 0: first column, first row.
pick_entry 464 195
shot "$win" "$WORK/setsuna_title.png"
title_light=$(patch_light 400 310 30 30)

# "easy": the first difficulty button, scene (390, 305) 50 x 50.
xdotool mousemove --window "$win" 416 331
sleep 0.3
shot "$win" "$WORK/setsuna_cursor.png"
scene_click 415 330
sleep 0.5
signal_up && fail "the signal is up before the wait"

wins=0
for duel in 1 2; do
    seen=
    for i in $(seq 1 80); do
        if signal_up; then
            seen=yes
            break
        fi
        sleep 0.05
    done
    [ -n "$seen" ] || { [ -n "${KEEP_SHOTS:-}" ] && cp "$WORK"/*.png "$KEEP_SHOTS/"; fail "no signal in duel $duel"; }
    xdotool click 1
    sleep 0.3
    [ "$duel" = 1 ] && shot "$win" "$WORK/setsuna_win.png"
    wins=$((wins + 1))
    # the next duel starts by itself half a second after the win
    sleep 0.6
done

# A press during the wait is a false start: the field dims under "残念！".
xdotool click 1
sleep 0.5
shot "$win" "$WORK/setsuna_result.png"
result_light=$(patch_light 900 500 60 40)
field_light=$(/usr/bin/convert "$WORK/setsuna_win.png" -crop 60x40+899+499 -colorspace gray -format "%[fx:mean]" info:)
below "$result_light" "$(awk -v a="$field_light" 'BEGIN { print a * 0.7 }')" || fail "no dimmed result screen ($result_light vs $field_light)"

# Space: back to the title screen.
press space
light=$(patch_light 400 310 30 30)
awk -v a="$light" -v b="$title_light" 'BEGIN { exit !(a - b < 0.05 && b - a < 0.05) }' || fail "Space did not show the title ($light vs $title_light)"

# Escape and "はい".
leave_game
value=$(stored_best 1)
[ "$value" = 400 ] ||
    fail "Setsuna best score in tovira.conf is not 400 after two easy wins (game1=$value)"
keep_shots setsuna_title.png setsuna_cursor.png setsuna_win.png setsuna_result.png
echo "Setsuna: $wins wins, best score $value"
