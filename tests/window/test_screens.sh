# Under a window manager: --fullscreen starts on the whole screen with the scene scaled and
# centred between black bars, F11 gives the 1024 x 576 window back and Alt+Enter the screen, a game whose window is
# minimised comes back paused with its question shown, and at a scale factor of 2 the menu's
# pictures carry detail that the 1x picture doubled does not.
source "$(dirname "$0")/lib.sh"
XVFB_SCREEN=2400x1600 start_xvfb
start_wm
GAME_ARGS=--fullscreen start_game
win=$(wait_window)
size() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p'; }
# A loaded machine may take a while: conditions are looked at again for up to ten seconds.
eventually() {
    local i
    for i in $(seq 1 40); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}
size_is() { [ "$(size)" = "$1" ]; }
colours_of() { /usr/bin/convert "$1" -crop "$2" -format "%k" info:; }
full_drawn() {
    /usr/bin/import -window root "$WORK/full.png"
    [ "$(colours_of "$WORK/full.png" 2400x1300+0+150)" -gt 200 ]
}
eventually size_is 2400x1600 || fail "--fullscreen window is $(size)"
eventually full_drawn || true
# 1020 x 572 scaled by 2400 / 1020 is 1346 high: bars of 127 px above and below.
[ "$(pixel "$WORK/full.png" 1200 60)" = "0,0,0" ] || fail "no black bar above: $(pixel "$WORK/full.png" 1200 60)"
[ "$(pixel "$WORK/full.png" 1200 1540)" = "0,0,0" ] || fail "no black bar below"
colours=$(colours_of "$WORK/full.png" 2400x1300+0+150)
[ "$colours" -gt 200 ] || fail "the scaled scene is not drawn ($colours colours)"

xdotool key --window "$win" F11
eventually size_is 1024x576 || fail "F11 gave a $(size) window back"
xdotool key --window "$win" alt+Return
eventually size_is 2400x1600 || fail "Alt+Enter did not fill the screen again: $(size)"
xdotool key --window "$win" F11
eventually size_is 1024x576 || fail "F11 gave a $(size) window back the second time"
sleep 1
shot "$win" "$WORK/one.png"

# UpDown is menu entry 6; the felt below its clock is lit in play and dimmed under the question.
click_at "$win" 598 277
table_lit() {
    play_light=$(updown_felt_light)
    above "$play_light" 0.08
}
eventually table_lit || fail "the UpDown table is not shown ($play_light)"
sleep 0.5
play_light=$(updown_felt_light)
xdotool windowminimize --sync "$win"
sleep 1
xdotool windowactivate --sync "$win"
dimmed() {
    light=$(updown_felt_light)
    below "$light" "$(awk -v a="$play_light" 'BEGIN { print a * 0.5 }')"
}
eventually dimmed ||
    fail "the game came back from minimised without its question ($light, in play $play_light)"

# The same menu at a scale factor of 2: the cast on the left, doubled pixel by pixel from the
# 1x window, against what the game draws.
kill "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
rm -f "$WORK/game/tovira.conf"
QT_SCALE_FACTOR=2 start_game
win=$(wait_window)
two_drawn() {
    shot "$win" "$WORK/two.png"
    [ "$(/usr/bin/convert "$WORK/two.png" -format "%wx%h" info:)" = "2048x1152" ] &&
        [ "$(colours_of "$WORK/two.png" 800x440+60+420)" -gt 200 ]
}
eventually two_drawn || fail "the 2x window is not 2048x1152 with the menu drawn"
sleep 1
shot "$win" "$WORK/two.png"
/usr/bin/convert "$WORK/one.png" -crop 400x220+30+210 +repage -filter point -resize 200% "$WORK/doubled.png"
/usr/bin/convert "$WORK/two.png" -crop 800x440+60+420 +repage "$WORK/sharp.png"
# compare exits with 1 when the pictures differ.
difference=$( (/usr/bin/compare -metric RMSE "$WORK/doubled.png" "$WORK/sharp.png" null: 2>&1 || true) |
    sed 's/.*(\(.*\))/\1/')
above "$difference" 0.02 || fail "the 2x menu is the 1x picture doubled (RMSE $difference)"

# On a 2048 x 1152 screen at a scale factor of 2 the window and its frame would not fit: the
# game starts on the whole screen instead.
kill "$GAME_PID" "$WM_PID" "$XVFB_PID"
wait 2>/dev/null || true
XVFB_SCREEN=2048x1152 start_xvfb
start_wm
QT_SCALE_FACTOR=2 start_game
win=$(wait_window)
full_state() { xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }
eventually full_state || fail "a window taller than the screen was opened: $(xprop -id "$win" _NET_WM_STATE)"

keep_shots full.png probe.png one.png two.png doubled.png sharp.png
echo "full screen with bars, F11 back to 1024x576, minimised game paused ($play_light -> $light)," \
    "2x menu differs from the doubled 1x one by RMSE $difference; a 2x window too tall starts full screen"
