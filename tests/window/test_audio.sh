# The game's sound on a real audio server: a PulseAudio null sink, recorded through its monitor.
# Without a server the game starts silently with at most one warning per sound; with one, the
# menu music plays at start-up and the game music once a game is chosen.
source "$(dirname "$0")/lib.sh"

for tool in pulseaudio parec sox; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./test installs pulseaudio pulseaudio-utils sox)"
done
[ -f "$GAME_DIR/Tovira.fka" ] || fail "no Tovira.fka in $GAME_DIR"

PULSE_PID=
start_pulse() {
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=ci_sink" >"$WORK/pulse.log" 2>&1 ||
        fail "pulseaudio did not start: $(cat "$WORK/pulse.log")"
    for _ in $(seq 1 50); do
        [ -s "$XDG_RUNTIME_DIR/pulse/pid" ] && break
        sleep 0.1
    done
    PULSE_PID=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true)
    [ -n "$PULSE_PID" ] || fail "no PulseAudio pid file"
}
# Busy loops on every core, as another program on a loaded machine.
BUSY_PIDS=()
start_busy() {
    for _ in $(seq 1 "$(nproc)"); do
        sha1sum /dev/zero &
        BUSY_PIDS+=($!)
    done
}
stop_busy() {
    [ ${#BUSY_PIDS[@]} -gt 0 ] && kill "${BUSY_PIDS[@]}" 2>/dev/null || true
    BUSY_PIDS=()
}
stop_pulse() {
    if [ -n "$PULSE_PID" ]; then
        kill "$PULSE_PID" 2>/dev/null || true
        for _ in $(seq 1 50); do
            kill -0 "$PULSE_PID" 2>/dev/null || break
            sleep 0.1
        done
        PULSE_PID=
    fi
}
HAD_CONF=
[ -e "$GAME_DIR/tovira.conf" ] && HAD_CONF=yes
finish() {
    stop_busy
    stop_pulse
    # The run folder keeps no score file that this test made.
    [ -z "$HAD_CONF" ] && rm -f "$GAME_DIR/tovira.conf"
    cleanup
}
trap finish EXIT

# The game runs in the run folder itself, as ./run starts it.
run_game() {
    (cd "$GAME_DIR" && exec ./tovira >"$WORK/game.log" 2>&1) &
    GAME_PID=$!
}
stop_game() {
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=
}

# RMS amplitude (0..1) of seconds of the null sink's monitor; the length is capped by head.
record_rms() {
    local seconds=$1 out=$WORK/rec$2.raw
    parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=50 2>/dev/null |
        head -c $((44100 * 4 * seconds)) >"$out" || true
    [ "$(stat -c %s "$out")" -eq $((44100 * 4 * seconds)) ] || fail "short recording: $(stat -c %s "$out") bytes"
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$out" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

export HOME=$WORK/home
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
start_xvfb

# 1. No audio server: the game starts, stays up and stays quiet.
PULSE_SERVER=unix:$WORK/nowhere run_game
wait_window >/dev/null
sleep 2
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without an audio server: $(cat "$WORK/game.log")"
warnings=$(grep -c . "$WORK/game.log" || true)
[ "$warnings" -le 14 ] || fail "$warnings lines of warnings without an audio server: $(cat "$WORK/game.log")"
echo "without an audio server: running, $warnings warning lines"
stop_game

# 2. A PulseAudio server of our own with a null sink, the only sink, hence the default.
start_pulse

silence=$(record_rms 1 quiet)
# The sound manager's debug messages tell which track each start and stop was for.
QT_LOGGING_RULES="tovira.sound.debug=true" run_game
win=$(wait_window)
sleep 1
# A process held up longer than its sound buffer (a loaded machine) underruns the sink; the menu
# music must play on, not start again.
kill -STOP "$GAME_PID"
sleep 2
kill -CONT "$GAME_PID"
sleep 1.5
# 74 seconds take in the menu loop's wrap from its end (75 s) to its start, with every core busy:
# the sink underruns now and then, and must play on each time.
start_busy
menu=$(record_rms 74 menu)
stop_busy
echo "null sink RMS: before the game $silence, menu music $menu"
above "$menu" 0.02 || fail "no menu music (RMS $menu): $(cat "$WORK/game.log")"
# The quietest 50 ms of the recording: a gap at the loop's wrap would be silence here.
quietest=$(od -An -v -td2 -w4 "$WORK/recmenu.raw" | awk '
    { s += $1 * $1 + $2 * $2; n++ }
    n == 2205 { r = sqrt(s / (2 * n)) / 32768; if (min == "" || r < min) min = r; s = 0; n = 0 }
    END { printf "%.4f\n", min }')
echo "null sink RMS: quietest 50 ms of the menu music $quietest"
above "$quietest" 0.01 || fail "the menu music has a gap (50 ms at RMS $quietest)"
# The longest run of silent 10 ms stretches: an underrun costs a moment, never the music.
gap=$(od -An -v -td2 -w4 "$WORK/recmenu.raw" | awk '
    { s += $1 * $1 + $2 * $2; n++ }
    n == 441 { r = sqrt(s / (2 * n)) / 32768; run = r < 0.003 ? run + 1 : 0; if (run > most) most = run; s = 0; n = 0 }
    END { print most * 10 }')
echo "longest silence in the menu music on busy cores: $gap ms"
[ "$gap" -le 200 ] || fail "the menu music fell silent for $gap ms on busy cores"

# Janken is menu entry 7: second column, third row. Choosing it starts the game music.
click_at "$win" 598 359
sleep 2.5
game=$(record_rms 3 game)
echo "null sink RMS: game music $game"
above "$game" 0.02 || fail "no game music (RMS $game)"
# What was heard is the game track: the menu track was stopped and the game track started.
grep -o 'tovira.sound: \(play\|stop\) [a-z0-9]*' "$WORK/game.log" | sed 's/^tovira.sound: //' >"$WORK/calls.txt" || true
grep -q 'play bgm1' "$WORK/calls.txt" || fail "menu music never started: $(cat "$WORK/game.log")"
# The menu track was started once and ran through its wrap: a restart on running dry would
# show as a second start (and, on some set-ups, up to two seconds of silence).
[ "$(grep -c '^play bgm1$' "$WORK/calls.txt")" -eq 1 ] ||
    fail "the menu track was restarted instead of wrapping: $(cat "$WORK/calls.txt")"
# After the last start of the menu track it was stopped, and the game track started after that.
awk '/^play bgm1$/ { menu = NR; stopped = 0; game = 0 }
     /^stop bgm1$/ && menu { stopped = NR }
     /^play bgm2$/ && stopped { game = NR }
     END { exit !(menu && stopped && game) }' "$WORK/calls.txt" ||
    fail "the game did not switch from menu to game music: $(cat "$WORK/calls.txt")"
# 3. The audio server goes away and comes back: the game music returns by itself once Qt has
# reconnected (its first try is 3 s after the loss), without the game having to be restarted.
stop_pulse
sleep 1
start_pulse
sleep 5
back=$(record_rms 3 back)
echo "null sink RMS: game music after the server came back $back"
above "$back" 0.02 || fail "no game music after the audio server came back (RMS $back): $(cat "$WORK/game.log")"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $(cat "$WORK/game.log")"
stop_game
stop_pulse
echo "menu and game music recorded from the null sink"
