# A best the player has seen on the panel survives every way the program can end: the window
# closed (Alt+F4 through the window manager), SIGTERM, SIGINT and SIGHUP in mid-play, each with
# its usual exit status, and SIGKILL on a result screen.
source "$(dirname "$0")/lib.sh"
start_xvfb
start_wm

boards_light() { light_of 120x30+250+500; }
keys=(Up Right Left)
throw_hand() { press "${keys[$(($1 % 3))]}" 0.25; }

for way in close TERM INT HUP KILL; do
    rm -f "$WORK/game/tovira.conf"
    start_game
    win=$(wait_window)
    sleep 1.5
    # Janken (entry 7) counts 125 points a second from the start of a play, shown at once.
    pick_entry 598 359 3
    if [ "$way" = KILL ]; then
        play_until_dark 200 boards_light 0.02 "no Janken result screen" throw_hand
        sleep 0.5
    fi
    case $way in
    close) xdotool windowactivate --sync "$win" key alt+F4 ;;
    *) kill -s "$way" "$GAME_PID" ;;
    esac
    status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=
    case $way in
    close) expected=0 ;;
    TERM) expected=143 ;;
    INT) expected=130 ;;
    HUP) expected=129 ;;
    KILL) expected=137 ;;
    esac
    [ "$status" -eq "$expected" ] || fail "$way: exit status $status, not $expected"
    value=$(stored_best 8)
    check_best "Janken ($way)" "$value" 125 125 "a Janken score is a whole number of seconds times 125"
    echo "$way: exit status $status, Janken best $value kept"
done
