# Under a window manager: --fullscreen starts on the whole screen with the scene scaled and
# centred between black bars, F11 gives the 1024 x 576 window back, and a game whose window
# is minimised comes back paused with its question shown.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_wm
GAME_ARGS=--fullscreen start_game
win=$(wait_window)
sleep 2
size() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p'; }
[ "$(size)" = "1280x800" ] || fail "--fullscreen window is $(size)"
/usr/bin/import -window root "$WORK/full.png"
# 1020 x 572 scaled by 1280 / 1020 is 718 high: bars of 41 px above and below.
[ "$(pixel "$WORK/full.png" 640 20)" = "0,0,0" ] || fail "no black bar above: $(pixel "$WORK/full.png" 640 20)"
[ "$(pixel "$WORK/full.png" 640 780)" = "0,0,0" ] || fail "no black bar below"
colours=$(/usr/bin/convert "$WORK/full.png" -crop 1280x700+0+50 -format "%k" info:)
[ "$colours" -gt 200 ] || fail "the scaled scene is not drawn ($colours colours)"

xdotool key --window "$win" F11
sleep 1.5
[ "$(size)" = "1024x576" ] || fail "F11 gave a $(size) window back"
xdotool key --window "$win" F11
sleep 1.5
[ "$(size)" = "1280x800" ] || fail "F11 did not fill the screen again: $(size)"
xdotool key --window "$win" F11
sleep 1.5

# UpDown is menu entry 6; the felt below its clock is lit in play and dimmed under the question.
click_at "$win" 598 277
sleep 1
felt_light() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop 100x20+40+252 -colorspace gray -format "%[fx:mean]" info:
}
play_light=$(felt_light)
below "$play_light" 0.08 && fail "the UpDown table is not shown ($play_light)"
xdotool windowminimize --sync "$win"
sleep 1
xdotool windowactivate --sync "$win"
sleep 1
light=$(felt_light)
below "$light" "$(awk -v a="$play_light" 'BEGIN { print a * 0.5 }')" ||
    fail "the game came back from minimised without its question ($light, in play $play_light)"
[ -n "${KEEP_SHOTS:-}" ] && cp "$WORK/full.png" "$WORK/probe.png" "$KEEP_SHOTS/"
echo "full screen with bars, F11 back to 1024x576, minimised game paused ($play_light -> $light)"
