#!/usr/bin/env bash
# CPU use of the real game under Xvfb over 10 s: on the launcher with no input after a game has
# been played and left (goal under 2 % of one core), and during Shooting (goal under 20 %).
# Usage: bench/run_cpu.sh [build-dir] [seconds]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${2:-10}
work=$(mktemp -d)
xvfb=
game=
cleanup() {
    # The game saves its scores as it ends: its folder goes only once it has.
    if [ -n "$game" ]; then
        kill "$game" 2>/dev/null || true
        wait "$game" 2>/dev/null || true
    fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

for n in $(seq 150 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb=$!
        export DISPLAY=":$n"
        break
    fi
done
for i in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cp "$build/game/tovira" "$build/game/resuorce.rcc" "$work/"
[ -f "$build/game/Tovira.fka" ] && cp "$build/game/Tovira.fka" "$work/"
(cd "$work" && exec ./tovira >/dev/null 2>&1) &
game=$!
win=
for i in $(seq 1 100); do
    win=$(xdotool search --name "Tovira Parade" 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { echo "no window"; exit 1; }
sleep 1

ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
cpu_percent() {
    local before after hz
    hz=$(getconf CLK_TCK)
    before=$(ticks)
    sleep "$seconds"
    after=$(ticks)
    awk -v d=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}

# Play Shooting (menu entry 3) for a moment and leave it, then measure the idle launcher.
xdotool mousemove --window "$win" 464 441 click 1
sleep 1
playing=$(cpu_percent)
for i in 1 2 3 4 5; do xdotool mousemove --window "$win" $((300 + 80 * i)) $((200 + 40 * i)) click 1; done
xdotool key --window "$win" Escape
sleep 0.3
xdotool key --window "$win" space
sleep 1
xdotool mousemove --window "$win" 100 550
sleep 1
idle=$(cpu_percent)
echo "CPU over ${seconds} s: launcher idle after a game ${idle} % of one core (goal < 2 %), during Shooting ${playing} % (goal < 20 %)"
