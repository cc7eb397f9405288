# Typing played as a player would: pick it on the menu, read the rightmost tile's colour off
# the screen and press its arrow key until the play ends, Space for a new play, then Escape and
# "はい" back to the menu; the score file then holds the best Typing score.
source "$(dirname "$0")/lib.sh"
open_game

# How green the grass below the rail is (0..1): green in play, gone under a dialog.
grass() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop 120x30+400+500 -format "%[fx:mean.g-mean.r]" info:
}

# The key for the rightmost tile on the rail: tiles are red (right), mint (down), blue (left)
# and gold (up). Scans one row through the tiles' upper half for the rightmost long run of one
# tile colour, which the bonus box's thin gold edges and the striped end never make.
rightmost_key() {
    /usr/bin/convert "$WORK/probe.png" -crop 990x1+0+272 +repage -depth 8 txt:- | awk -F'[(),: ]+' '
        NR > 1 {
            r = $3; g = $4; b = $5; c = "";
            if (r > 200 && g < 130 && b < 130) c = "Right";
            else if (g > 150 && r < 140 && b > 100 && b < 220 && g > b) c = "Down";
            else if (b > 170 && r < 130 && g < 200 && b > g) c = "Left";
            else if (r > 220 && g > 160 && b < 110) c = "Up";
            if (c != "" && c == last) { run++ } else { run = 1 }
            last = c;
            if (c != "" && run >= 12) key = c;
        }
        END { print key }'
}

# Typing is menu entry 2: first column, third row.
pick_entry 464 359
below "$(grass)" 0.15 && fail "the Typing field is not shown"

# Read and press until the play ends (a wrong read or a late key ends it too).
presses=0
ended=
for i in $(seq 1 400); do
    g=$(grass)
    if below "$g" 0.05; then
        ended=yes
        break
    fi
    key=$(rightmost_key)
    if [ -n "$key" ]; then
        [ "$presses" -eq 3 ] && cp "$WORK/probe.png" "$WORK/typing_play.png"
        xdotool key --window "$win" "$key"
        presses=$((presses + 1))
        sleep 0.08
    fi
done
[ -n "$ended" ] || fail "no result screen after $presses keys"
[ "$presses" -ge 3 ] || fail "only $presses keys before the end"
cp "$WORK/probe.png" "$WORK/typing_result.png"

# Space: a new play at once.
press space
below "$(grass)" 0.15 && fail "Space did not start a new play"

# Escape and "はい".
leave_game dimmed_below grass 0.05
value=$(stored_best 3)
check_best Typing "$value"
keep_shots typing_play.png typing_result.png
echo "Typing best score $value after $presses keys"
