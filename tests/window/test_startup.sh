# The real game opens its 1024 x 576 window titled "Tovira Parade" with the background drawn,
# and writes a well-formed score file in its run folder.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_game
win=$(wait_window)
# A drawn picture has many colours; Qt's empty grey window has one or two. A loaded machine may
# take a while to show the first frame, so look again for up to ten seconds.
colours=0
for i in $(seq 1 20); do
    sleep 0.5
    shot "$win" "$WORK/start.png"
    colours=$(/usr/bin/convert "$WORK/start.png" -format "%k" info:)
    [ "$colours" -gt 200 ] && break
done
size=$(/usr/bin/convert "$WORK/start.png" -format "%wx%h" info:)
[ "$size" = "1024x576" ] || fail "window is $size"
[ "$colours" -gt 200 ] || fail "only $colours colours: background not drawn"
# The window icon comes from the resource file.
xprop -id "$win" -len 12 _NET_WM_ICON | grep -q "Icon (256 x 256)" || fail "no 256 x 256 window icon"
head -n 1 "$WORK/game/tovira.conf" | grep -qx "Tovira Game" || fail "score file header"
[ "$(grep -c '^game[0-9]*=' "$WORK/game/tovira.conf")" -eq 10 ] || fail "score file lines"
[ -n "${KEEP_SHOTS:-}" ] && cp "$WORK/start.png" "$KEEP_SHOTS/"
echo "window $size, $colours colours"
