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
# The desktop's languages the game sees (LANGUAGE): Japanese, the game as designed, unless told.
GAME_LANGUAGE=${GAME_LANGUAGE:-ja}

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

# Copies the game and its data files into a fresh run folder and starts it there, with a
# settings folder of the test's own (volumes, language), never the user's.
start_game() {
    mkdir -p "$WORK/game"
    cp "$GAME_DIR"/tovira "$GAME_DIR"/resuorce.rcc "$WORK/game/"
    [ -f "$GAME_DIR/Tovira.fka" ] && cp "$GAME_DIR/Tovira.fka" "$WORK/game/"
    [ -f "$GAME_DIR/resuorce2x.rcc" ] && cp "$GAME_DIR/resuorce2x.rcc" "$WORK/game/"
    (cd "$WORK/game" && XDG_CONFIG_HOME="$WORK/config" LANGUAGE="$GAME_LANGUAGE" \
        QT_LOGGING_RULES="${QT_LOGGING_RULES:-}" exec ./tovira $GAME_ARGS >"$WORK/game.log" 2>&1) &
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

# Differing pixels between the same area of two screenshots.
area_diff() {
    /usr/bin/compare -metric AE -crop "$3" "$1" "$2" null: 2>&1 || true
}

# A score file in the run folder before the game starts: "Tovira Game" and game1..game10 set to
# the ten figures given.
write_scores() {
    local i=0 v
    mkdir -p "$WORK/game"
    {
        echo "Tovira Game"
        for v in "$@"; do
            i=$((i + 1))
            echo "game$i=$v"
        done
    } >"$WORK/game/tovira.conf"
}

# The usual start: a private display, the game in its run folder, its window in $win once the
# first frames are up.
open_game() {
    start_xvfb
    start_game
    win=$(wait_window)
    sleep 1.5
}

# The view shows the scene 2 px in: scene point (x, y) is window pixel (x + 2, y + 2).
scene_click() { click_at "$win" $(($1 + 2)) $(($2 + 2)); }

# A menu entry's window point clicked, then a wait (1 s unless told) for the game to come up.
pick_entry() {
    click_at "$win" "$1" "$2"
    sleep "${3:-1}"
}

# A game picked on the menu by its name (the window points of the nine entries), then a wait.
pick_game() {
    local -A at=([Setsuna]="464 195" [SameGame]="464 277" [Typing]="464 359" [Shooting]="464 441"
        [Slot]="464 523" [Slide]="598 195" [UpDown]="598 277" [Janken]="598 359" [Speed]="598 441")
    pick_entry ${at[$1]} "${2:-1}"
}

# A key sent to the game's window, then a wait (0.5 s unless told).
press() {
    xdotool key --window "$win" "$1"
    sleep "${2:-0.5}"
}

# Mean brightness (0..1) of the window's area WxH+X+Y, shot into $WORK/probe.png.
light_of() {
    shot "$win" "$WORK/probe.png"
    /usr/bin/convert "$WORK/probe.png" -crop "$1" -colorspace gray -format "%[fx:mean]" info:
}

# Mean brightness of UpDown's felt below its clock: lit in play, black on the result screen,
# dimmed under the question.
updown_felt_light() { light_of 100x20+40+252; }
# Brightness of Slot's red pointer at the left end of the pay line: drawn over the reels in
# play, dimmed with everything else under a dialog.
slot_pointer_light() { light_of 6x8+4+288; }

# The game's best score as stored in tovira.conf for menu entry N (1 to 9).
stored_best() {
    local line
    line=$(grep "^game$1=" "$WORK/game/tovira.conf" || true)
    echo "${line#game$1=}"
}

# Escape, then (with a command given) a check that the question is up, then "はい" (the left
# button, centre (362, 338) in scene coordinates) and a check that the game is still running.
leave_game() {
    press Escape
    # A loaded machine may take a few frames to show the question: look again for up to 3 s.
    local tries=0
    while [ $# -gt 0 ] && ! "$@"; do
        tries=$((tries + 1))
        [ "$tries" -lt 6 ] || fail "Escape did not show the question"
        sleep 0.5
    done
    scene_click 362 338
    sleep 1.5
    kill -0 "$GAME_PID" || fail "the game exited"
}

# Plays MOVE (a command, given the round from 1) up to ROUNDS times until LIGHT_FN falls below
# DARK, looked at after every EVERY-th move (every move unless told); the result screen is then
# in $WORK/probe.png. Fails with MESSAGE when it never falls.
play_until_dark() {
    local rounds=$1 light_fn=$2 dark=$3 message=$4 move=$5 every=${6:-1} i
    for i in $(seq 1 "$rounds"); do
        "$move" "$i"
        if [ $((i % every)) -eq 0 ] && below "$($light_fn)" "$dark"; then return 0; fi
    done
    fail "$message"
}

# A best score VALUE stored for NAME: at least LEAST (1 unless told) and, with STEP, a whole
# number of STEP (WHAT says what it counts).
check_best() {
    local name=$1 value=$2 least=${3:-1} step=${4:-1} what=${5:-}
    [ -n "$value" ] && [ "$value" -ge "$least" ] || fail "no $name best score in tovira.conf ($value)"
    [ $((value % step)) -eq 0 ] || fail "$what ($value)"
}

# Copies the named shots of $WORK into $KEEP_SHOTS when it is set.
keep_shots() {
    local f
    [ -n "${KEEP_SHOTS:-}" ] || return 0
    for f in "$@"; do cp "$WORK/$f" "$KEEP_SHOTS/"; done
}

# Leaves a game through Escape and "はい". LIGHT_FN measures the play field's brightness, which
# the question's dimming must halve from PLAY_LIGHT. Prints the game's best score as stored in
# tovira.conf for menu entry GAME_NUMBER (1 to 9).
leave_and_read_best() {
    local light_fn=$1 play_light=$2 number=$3
    leave_game dimmed_below "$light_fn" "$(awk -v a="$play_light" 'BEGIN { print a * 0.5 }')"
    stored_best "$number"
}
dimmed_below() {
    local light
    light=$($1)
    below "$light" "$2" || { echo "question light $light" >&2; return 1; }
}

# From a result screen: Space must start a new play at once (LIGHT_FN back above FLOOR), then
# leave_and_read_best with PLAY_LIGHT and GAME_NUMBER.
replay_and_read_best() {
    local light_fn=$1 floor=$2 play_light=$3 number=$4
    press space
    below "$($light_fn)" "$floor" && fail "Space did not start a new play"
    leave_and_read_best "$light_fn" "$play_light" "$number"
}
