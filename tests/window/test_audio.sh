# The game's sound on a real audio server: a PulseAudio null sink, recorded through its monitor.
# Without a server the game starts silently with at most one warning per sound; with one, the
# menu music plays at start-up, crosses into the game music once a game is chosen, and M
# silences it; then, the music turned down, a round of each game is heard as its own effects.
source "$(dirname "$0")/lib.sh"

for tool in pulseaudio parec sox; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./test installs pulseaudio pulseaudio-utils sox)"
done
/usr/bin/python3 -c 'import numpy' 2>/dev/null || fail "numpy is missing (./test installs python3-numpy)"
[ -f "$GAME_DIR/Tovira.fka" ] || fail "no Tovira.fka in $GAME_DIR"
FKA=$GAME_DIR/../fka
[ -x "$FKA" ] || fail "no fka tool beside $GAME_DIR"
# The recordings the sink is matched against, as the archive holds them.
mkdir -p "$WORK/se" "$WORK/bgm"
while read -r name; do
    "$FKA" extract "$GAME_DIR/Tovira.fka" pelorn_quives "$name" "$WORK/$name" || fail "cannot extract $name"
done < <("$FKA" list "$GAME_DIR/Tovira.fka" pelorn_quives | cut -f2 | grep -E '^(se/|bgm/BGM_[12])')
heard() { /usr/bin/python3 "$(dirname "$0")/heard.py" "$@"; }
# The sounds the log shows started since line $1, one line per start.
played_since() {
    tail -n +"$1" "$WORK/game.log" | sed -n 's/^tovira.sound: play \([A-Za-z0-9_]*\)$/\1/p'
}

PULSE_PID=
# Options of the null sink may follow ($1).
start_pulse() {
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=ci_sink ${1:-}" >"$WORK/pulse.log" 2>&1 ||
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
FX_PID=
finish() {
    [ -n "$FX_PID" ] && kill "$FX_PID" 2>/dev/null || true
    stop_busy
    stop_pulse
    # The run folder keeps no score file that this test made.
    [ -z "$HAD_CONF" ] && rm -f "$GAME_DIR/tovira.conf"
    cleanup
}
trap finish EXIT

# The player's volumes for the next start, as the menu's sliders keep them.
set_volumes() {
    mkdir -p "$HOME/.config/tovira-parade"
    printf '[sound]\nmusicVolume=%s\neffectsVolume=%s\nmuted=false\n' "$1" "$2" \
        >"$HOME/.config/tovira-parade/tovira-parade.ini"
}
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

# 2. A PulseAudio server of our own with a null sink, the only sink, hence the default. The
# music alone: the effects are turned down.
start_pulse
set_volumes 1 0

silence=$(record_rms 1 quiet)
# The sound manager's debug messages tell which sound each start and stop was for.
export QT_LOGGING_RULES="tovira.sound.debug=true"
run_game
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

# Janken is menu entry 7: second column, third row. Choosing it starts the game music, and the
# two tracks cross: the sink, recorded across the change, holds no gap and no overlap louder
# than either track.
rec=$WORK/reccross.raw
parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=50 2>/dev/null |
    head -c $((44100 * 4 * 4)) >"$rec" &
rec_pid=$!
while [ "$(stat -c %s "$rec" 2>/dev/null || echo 0)" -lt $((44100 * 4 * 3 / 2)) ]; do sleep 0.01; done
pick_game Janken 0
wait "$rec_pid" || true
read -r least most fade_out fade_in explained < <(heard crossfade "$rec" "$WORK/bgm/BGM_1.wav" "$WORK/bgm/BGM_2.wav")
echo "crossfade on the sink: menu track out in $fade_out ms, game track in in $fade_in ms;" \
    "the mix from $least to $most dB of a track alone ($explained of the recording is the two tracks)"
above "$explained" 0.9 || fail "the recording across the change is not the two tracks ($explained)"
above "$least" -6 || fail "a gap between the tracks: the mix fell to $least dB"
below "$most" 1 || fail "the tracks overlap louder than either: $most dB"
game=$(record_rms 2 game)
echo "null sink RMS: game music $game"
above "$game" 0.02 || fail "no game music (RMS $game)"
# What was heard is the game track: the menu track was stopped and the game track started.
played_since 1 | grep -E '^bgm' >"$WORK/calls.txt" || true
grep -q 'bgm1' "$WORK/calls.txt" || fail "menu music never started: $(cat "$WORK/game.log")"
# The menu track was started once and ran through its wrap: a restart on running dry would
# show as a second start (and, on some set-ups, up to two seconds of silence).
[ "$(grep -c '^bgm1$' "$WORK/calls.txt")" -eq 1 ] ||
    fail "the menu track was restarted instead of wrapping: $(cat "$WORK/calls.txt")"
grep -q 'bgm2' "$WORK/calls.txt" || fail "the game did not switch to the game music: $(cat "$WORK/calls.txt")"

# M mutes at once: the sink falls silent within 100 ms of the key and stays so until M again.
rec=$WORK/recmute.raw
parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10 2>/dev/null |
    head -c $((44100 * 4 * 3)) >"$rec" &
rec_pid=$!
while [ "$(stat -c %s "$rec" 2>/dev/null || echo 0)" -lt $((44100 * 4)) ]; do sleep 0.01; done
# The sample the key falls on: what the monitor has given by now, and the time since.
mark_bytes=$(stat -c %s "$rec")
mark_ns=$(date +%s%N)
xdotool key --window "$win" m
key_ns=$(date +%s%N)
wait "$rec_pid" || true
key_frame=$((mark_bytes / 4 + (key_ns - mark_ns) * 44100 / 1000000000))
silent_after=$(od -An -v -td2 -w4 "$rec" | awk -v from="$key_frame" '
    NR > from { s += $1 * $1 + $2 * $2; n++ }
    n == 441 { r = sqrt(s / (2 * n)) / 32768; w++; if (r >= 0.003) last = w; s = 0; n = 0 }
    END { print last * 10 }')
before_key=$(od -An -v -td2 -w4 "$rec" | awk -v from="$key_frame" '
    NR > from - 22050 && NR <= from { s += $1 * $1 + $2 * $2; n++ }
    END { printf "%.4f\n", n ? sqrt(s / (2 * n)) / 32768 : 0 }')
above "$before_key" 0.02 || fail "no sound to mute (RMS $before_key before M)"
echo "M: the sink silent $silent_after ms after the key (RMS $before_key before it)"
[ "$silent_after" -le 100 ] || fail "M left the sound on for $silent_after ms"
press m 1
above "$(record_rms 1 unmuted)" 0.02 || fail "M again did not bring the sound back"

# 3. The audio server goes away and comes back: the game music returns by itself once Qt has
# reconnected (its first try is 3 s after the loss), without the game having to be restarted.
# The new server's sink never rewinds: a sink that rewinds to mix a new stream in at once
# hands the monitor only what it mixes after that, and short effects would reach the
# recording without their start.
stop_pulse
sleep 1
start_pulse norewinds=1
# Qt's tries may come later on a loaded machine: a second at a time, for up to 12 s in all.
sleep 4
for _ in $(seq 1 8); do
    back=$(record_rms 1 back)
    above "$back" 0.02 && break
done
echo "null sink RMS: game music after the server came back $back"
above "$back" 0.02 || fail "no game music after the audio server came back (RMS $back): $(cat "$WORK/game.log")"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $(cat "$WORK/game.log")"
stop_game
echo "menu and game music recorded from the null sink"

# 4. The effects alone, the music turned down: the sink is recorded while the menu is hovered and
# clicked and a round of each game is played, and what it gave is matched against the effects'
# recordings. Each game is heard as two of its own effects or more.
set_volumes 0 1
run_game
win=$(wait_window)
sleep 1
fx=$WORK/recfx.raw
parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=50 2>/dev/null >"$fx" &
FX_PID=$!
for _ in $(seq 1 100); do
    [ -s "$fx" ] && break
    sleep 0.05
done
# Where the recording and the log stand now.
mark() {
    from_bytes=$(stat -c %s "$fx")
    from_line=$(($(wc -l <"$WORK/game.log") + 1))
}
effects_since() { played_since "$1" | grep -v '^bgm' || true; }
# The effects of the game under way ($own, a pattern), each once, that the log shows since the
# mark.
own_since() { effects_since "$from_line" | grep -Ex "$own" | sort -u || true; }
# Runs a move (given its count from 1) until the log shows two of the game's own effects.
until_two() {
    local tries=$1 i
    shift
    for i in $(seq 1 "$tries"); do
        [ "$(own_since | grep -c .)" -ge 2 ] && return 0
        "$@" "$i"
    done
}
# Back to the menu from a play or a result screen: Escape and "はい" (where a result screen
# takes the click as "もう一度", the next try leaves the new play), until the menu music starts.
to_menu() {
    local line i
    line=$(($(wc -l <"$WORK/game.log") + 1))
    for i in 1 2 3; do
        press Escape
        scene_click 362 338
        sleep 1
        played_since "$line" | grep -qx bgm1 && return 0
    done
    fail "the game did not return to the menu"
}
# What the sink gave since the mark, matched against every sound the log started meanwhile:
# prints NAME heard: effect heard/started (best match) ...; fails unless LEAST of the effects
# matching $own were heard.
check_heard() {
    local name=$1 least=$2 result line
    sleep 0.5
    result=$(heard effects "$fx" "$from_bytes" "$(stat -c %s "$fx")" "$WORK/se" $(effects_since "$from_line")) ||
        fail "$name: the recording could not be matched"
    line=$(echo "$result" | while read -r effect count match; do
        started=$(effects_since "$from_line" | grep -cx "$effect")
        echo -n " $effect $((count < started ? count : started))/$started ($match)"
    done)
    echo "$name heard:$line"
    [ "$(echo "$result" | awk '$2 > 0 { print $1 }' | grep -Ex "$own" | grep -c .)" -ge "$least" ] ||
        fail "$name was heard as fewer than $least of its own effects ($own)"
}

# The menu: four entries hovered, Setsuna last, then clicked.
mark
own='hover|click'
for y in 277 359 441 195; do
    xdotool mousemove --window "$win" 464 "$y"
    sleep 0.4
done
xdotool click 1
sleep 1
check_heard menu 2

# Setsuna on "easy": the signal, and the shot that answers it.
mark
own='signal|win|lose|false_start'
scene_click 415 330
for _ in $(seq 1 100); do
    played_since "$from_line" | grep -qx signal && break
    sleep 0.05
done
xdotool click 1
sleep 0.5
to_menu
check_heard Setsuna 2

# SameGame: clicks along the bottom row remove groups or find a lone tile.
mark
own='samegame24|samegame5Over|samegameOtetsuki|cleared|tick'
pick_game SameGame
samegame_cell() { scene_click $((152 + 60 * ($1 * 4 % 15))) $((88 + 60 * 7)); sleep 0.3; }
until_two 15 samegame_cell
to_menu
check_heard SameGame 2

# Typing: arrow keys as they come; a wrong one ends the play and Space starts the next.
mark
own='key|wrong|bonus'
pick_game Typing
typing_key() {
    local keys=(Up Right Down Left)
    press "${keys[$(($1 % 4))]}" 0.3
    press space 0.3
}
sleep 1
until_two 40 typing_key
to_menu
check_heard Typing 2

# Shooting: a sweep of shots across the gallery.
mark
own='shot|hit|miss|bonus|bad_target|tick'
pick_game Shooting
for x in 300 450 600 750; do click_at "$win" "$x" 260; sleep 0.3; done
to_menu
check_heard Shooting 2

# Slot: the reels stopped as they come in.
mark
own='reel_stop|pay|reel_lost'
pick_game Slot 3
slot_stop() { click_at "$win" 500 120; sleep 0.6; }
until_two 20 slot_stop
to_menu
check_heard Slot 2

# Slide: the tile beside the gap moves; one far from it does not.
mark
own='samegame24|miss'
pick_game Slide
click_at "$win" $((163 + 245 + 122)) $((119 + 246 + 61))
sleep 0.4
click_at "$win" $((163 + 122)) $((119 + 61))
sleep 0.4
to_menu
check_heard Slide 2

# UpDown: the deal, then cards played from the five places.
mark
own='card|wrong|shuffle|tick'
pick_game UpDown
updown_place() { scene_click $((512 + 150 * ($1 % 5 - 2))) 388; sleep 0.3; }
until_two 10 updown_place
to_menu
check_heard UpDown 2

# Janken: hands held up while Tovira's come and are judged, until a draw or a loss ends it.
mark
own='hand|round_win|draw|lose'
pick_game Janken
janken_hand() {
    local keys=(Up Right Left)
    press "${keys[$(($1 % 3))]}" 0.4
}
until_two 40 janken_hand
to_menu
check_heard Janken 2

# Speed: the deal, then the table's cards clicked.
mark
own='card|wrong|shuffle|tick'
pick_game Speed
speed_card() { scene_click $((196 + 110 * ($1 % 3))) 290; sleep 0.3; }
until_two 10 speed_card
to_menu
check_heard Speed 2

kill "$FX_PID" 2>/dev/null || true
stop_game
stop_pulse
echo "every game heard on the null sink"
