# Shared helpers for the window tests: a private Xvfb, a temporary run folder, clean-up.
# Sourced by tests/window/test_*.sh.
set -euo pipefail

GAME_DIR=${1:?usage: test_x.sh GAME_DIR}
WORK=$(mktemp -d)
XVFB_PID=
GAME_PID=
WM_PID=
# Extra command-line options for the game.
GAME_ARGS=${GAME_ARGS:-}

cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on a display it picks itself (so parallel runs cannot collide) and exports DISPLAY.
# -noreset: by default the server resets when its last client leaves, and a connection made
# during that reset (the game's, right after the readiness check) is refused.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x800}x24" -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i n
    for i in $(seq 1 100); do
        n=$(cat "$WORK/display" 2>/dev/null || true)
        if [ -n "$n" ]; then
            export DISPLAY=":$n"
            xdpyinfo >/dev/null 2>&1 && return 0
        fi
        sleep 0.1
    done
    fail "no Xvfb display could be started: $(cat "$WORK/xvfb.log")"
}

# Starts openbox on the display, for tests of what a window manager does (full screen,
# minimising, focus), and waits until it manages the screen.
start_wm() {
    openbox --sm-disable >"$WORK/wm.log" 2>&1 &
    WM_PID=$!
    local i
    for i in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.1
    done
    fail "openbox did not start: $(cat "$WORK/wm.log")"
}

# Copies the game and its data files into a fresh run folder and starts it there.
start_game() {
    mkdir -p "$WORK/game"
    cp "$GAME_DIR"/tovira "$GAME_DIR"/resuorce.rcc "$WORK/game/"
    [ -f "$GAME_DIR/Tovira.fka" ] && cp "$GAME_DIR/Tovira.fka" "$WORK/game/"
    [ -f "$GAME_DIR/resuorce2x.rcc" ] && cp "$GAME_DIR/resuorce2x.rcc" "$WORK/game/"
    (cd "$WORK/game" && exec ./tovira $GAME_ARGS >"$WORK/game.log" 2>&1) &
    GAME_PID=$!
}

# Waits for the game's window and prints its id.
wait_window() {
    local i id
    for i in $(seq 1 150); do
        id=$(xdotool search --name "Tovira Parade" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game exited: $(cat "$WORK/game.log")"
        sleep 0.2
    done
    fail "no window titled Tovira Parade"
}

# Screenshot of a window into a PNG file.
shot() {
    /usr/bin/import -window "$1" "$2"
}

# Colour of one pixel of a PNG as "r,g,b" (0..255).
pixel() {
    /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Clicks at window coordinates.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Numeric comparisons of decimal figures (brightness, RMS).
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Leaves a game through Escape and "はい" (the left button, centre (362, 338) in scene
# coordinates; the calling script's scene_click maps them). LIGHT_FN measures the play field's
# brightness, which the question's dimming must halve from PLAY_LIGHT. Prints the game's best
# score as stored in tovira.conf for menu entry GAME_NUMBER (1 to 9).
leave_and_read_best() {
    local light_fn=$1 play_light=$2 number=$3
    local light line
    xdotool key --window "$win" Escape
    sleep 0.5
    light=$($light_fn)
    below "$light" "$(awk -v a="$play_light" 'BEGIN { print a * 0.5 }')" ||
        fail "Escape did not show the question ($light)"
    scene_click 362 338
    sleep 1.5
    kill -0 "$GAME_PID" || fail "the game exited"
    line=$(grep "^game$number=" "$WORK/game/tovira.conf" || true)
    echo "${line#game$number=}"
}
