# The shooting gallery played as a player would: pick it on the menu, aim and shoot across the
# gallery until the clock runs out and "終了！" shows, Space for a new play, then Escape and
# "はい" back to the menu; the score file then holds the best Shooting score.
source "$(dirname "$0")/lib.sh"
open_game

# Mean brightness (0..1) of the bottom-right corner of the counter: lit in play, black at the end.
corner_light() {
    /usr/bin/import -window "$win" -crop 60x30+950+530 "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -colorspace gray -format "%[fx:mean]" info:
}

# Shooting is menu entry 3: first column, fourth row.
pick_entry 464 441
below "$(corner_light)" 0.05 && fail "the gallery is not shown"

# Sweep the gallery with shots; targets appear about once a second and drift. No shot lands on
# a dialog button: one on "もう一度" of the result screen before the probe sees it would start a
# new play unseen.
points=("300 260" "450 300" "600 260" "750 300" "380 380" "520 360" "680 380" "250 290")
ended=
start=$(date +%s)
i=0
while [ $(($(date +%s) - start)) -lt 120 ]; do
    set -- ${points[$((i % ${#points[@]}))]}
    xdotool mousemove --window "$win" "$1" "$2" click 1
    i=$((i + 1))
    [ "$i" = 40 ] && shot "$win" "$WORK/shooting_play.png"
    sleep 0.15
    if [ $((i % 5)) = 0 ] && below "$(corner_light)" 0.02; then
        ended=yes
        break
    fi
done
[ -n "$ended" ] || fail "the clock never ran out"
elapsed=$(($(date +%s) - start))
[ "$elapsed" -ge 10 ] || fail "the game ended after only $elapsed s"
shot "$win" "$WORK/shooting_result.png"

# Space: a new play at once.
press space
below "$(corner_light)" 0.05 && fail "Space did not start a new play"

# Escape and "はい".
leave_game
value=$(stored_best 4)
check_best Shooting "$value" 1 100 "a Shooting score is a whole number of hits times 100"
keep_shots shooting_play.png shooting_result.png
echo "Shooting: $i shots in ${elapsed} s, best score $value"
