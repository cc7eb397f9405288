# Slide played as a player would: leaving an unsolved puzzle through Escape and "はい" keeps no
# score; then pick it on the menu again, read the shuffled tiles off the screen
# by comparing them with the picture, slide them home with clicks, see "おめでとう！", press
# Space for a new shuffle, leave with Escape and "はい"; the score file then holds the best score.
source "$(dirname "$0")/lib.sh"
PICTURE="$GAME_DIR/../assets/rendered/img/slide/BG.png"
[ -f "$PICTURE" ] || fail "no rendered slide picture at $PICTURE"
open_game

# The view shows the scene 2 px in, so item points of the game (at (-2, -2)) are window pixels.
cell_x() { echo $((163 + 245 * ($1 % 3))); }
cell_y() { echo $((119 + 123 * ($1 / 3))); }
click_cell() { click_at "$win" $(($(cell_x "$1") + 122)) $(($(cell_y "$1") + 61)); }
# Mean brightness (0..1) of the middle of a cell on a screenshot.
cell_light() {
    /usr/bin/convert "$1" -crop 200x80+$(($(cell_x "$2") + 22))+$(($(cell_y "$2") + 21)) \
        -colorspace gray -format "%[fx:mean]" info:
}

# Slide is menu entry 5. Left unsolved at once, it scores nothing, whatever the clock shows.
pick_entry 598 195
leave_game
grep -qx 'game6=0' "$WORK/game/tovira.conf" ||
    fail "leaving an unsolved puzzle paid: $(grep '^game6=' "$WORK/game/tovira.conf")"
pick_entry 598 195
shot "$win" "$WORK/start.png"
# The gap, bottom right, is the board's white.
awk -v a="$(cell_light "$WORK/start.png" 8)" 'BEGIN { exit !(a > 0.95) }' ||
    fail "no gap in the bottom-right cell"

# Which piece sits in each cell: the home cell whose part of the picture matches best.
[ -n "${KEEP_SHOTS:-}" ] && cp "$WORK/start.png" "$KEEP_SHOTS/slide_start.png"
state=""
for i in 0 1 2 3 4 5 6 7; do
    /usr/bin/convert "$WORK/start.png" -crop 236x114+$(($(cell_x $i) + 4))+$(($(cell_y $i) + 4)) +repage "$WORK/cell.png"
    best=-1
    bestd=999
    for p in 0 1 2 3 4 5 6 7; do
        # compare exits 1 when the pictures differ at all; its figure is what counts.
        d=$( (/usr/bin/compare -metric RMSE "$WORK/cell.png" \
            \( "$PICTURE" -crop 236x114+$((163 + 245 * (p % 3) + 4))+$((119 + 123 * (p / 3) + 4)) +repage \) \
            null: 2>&1 || true) | sed 's/.*(\(.*\)).*/\1/')
        if awk -v d="$d" -v b="$bestd" 'BEGIN { exit !(d < b) }'; then
            bestd=$d
            best=$p
        fi
    done
    awk -v d="$bestd" 'BEGIN { exit !(d < 0.05) }' || fail "cell $i matches no piece ($bestd)"
    state="$state $best"
done
state="$state -1"
echo "board:$state"

# The shortest run of clicks on the gap's neighbours that brings every piece home.
clicks=$(/usr/bin/python3 - $state <<'EOF'
import sys
from collections import deque
start = tuple(int(v) for v in sys.argv[1:])
goal = (0, 1, 2, 3, 4, 5, 6, 7, -1)
prev = {start: None}
queue = deque([start])
while queue and goal not in prev:
    s = queue.popleft()
    g = s.index(-1)
    for k in (g - 3, g + 3, g - 1 if g % 3 else -1, g + 1 if g % 3 != 2 else -1):
        if 0 <= k < 9:
            n = list(s); n[g], n[k] = n[k], n[g]; n = tuple(n)
            if n not in prev:
                prev[n] = (s, k)
                queue.append(n)
path = []
s = goal
while prev[s] is not None:
    s, k = prev[s]
    path.append(k)
print(" ".join(str(k) for k in reversed(path)))
EOF
)
echo "clicks: $clicks"
[ -n "$clicks" ] || fail "the board read off the screen cannot be solved"

n=0
for k in $clicks; do
    click_cell "$k"
    n=$((n + 1))
    [ "$n" -eq 3 ] && shot "$win" "$WORK/slide_play.png"
    sleep 0.1
done
sleep 0.5
shot "$win" "$WORK/slide_cleared.png"
# Solved: the picture is whole, so the gap cell now shows the picture, dimmed a little.
light=$(cell_light "$WORK/slide_cleared.png" 8)
awk -v a="$light" 'BEGIN { exit !(a < 0.8) }' || fail "no result screen after solving ($light)"

# Space: a new shuffle, the gap white again.
press space
shot "$win" "$WORK/again.png"
awk -v a="$(cell_light "$WORK/again.png" 8)" 'BEGIN { exit !(a > 0.95) }' || fail "Space did not start again"

# Escape and "はい".
leave_game
value=$(stored_best 6)
check_best Slide "$value"
keep_shots slide_play.png slide_cleared.png
echo "Slide solved in $n clicks, best score $value"
