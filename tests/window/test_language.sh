# The language of a run: a desktop listing English first gets English, and the menu's language
# button (right of the score board, under the sound button) switches to Japanese and is
# remembered, over the desktop, at the next start; --lang en overrides both, and the return
# question of a game then differs from the Japanese one only in its texts.
source "$(dirname "$0")/lib.sh"
export QT_LOGGING_RULES="tovira.app.debug=true"
start_xvfb
language_of_run() { grep -o "language: [a-z]*" "$WORK/game.log" | tail -n 1; }
restart() {
    kill "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null || true
    start_game
    win=$(wait_window)
    sleep 1.5
}
# Setsuna (scene point (460, 195)), then Escape: the question over the dimmed title picture.
question_shot() {
    scene_click 460 195
    sleep 1
    press Escape 1
    shot "$win" "$WORK/$1"
}

GAME_LANGUAGE=en:ja start_game
win=$(wait_window)
sleep 1.5
[ "$(language_of_run)" = "language: en" ] || fail "an English desktop got $(language_of_run)"
scene_click 984 94
sleep 1
grep -q "^chosen=ja" "$WORK/config/tovira-parade/tovira-parade.ini" ||
    fail "the button's choice is not in the settings file"
# The score file keeps its name in English and holds only the scores.
[ -f "$WORK/game/tovira.conf" ] || fail "no tovira.conf written by the English game"
grep -q "ja" "$WORK/game/tovira.conf" && fail "the language went into tovira.conf"

GAME_LANGUAGE=en restart
[ "$(language_of_run)" = "language: ja" ] || fail "the remembered Japanese gave $(language_of_run)"
question_shot ja.png

GAME_LANGUAGE=ja GAME_ARGS="--lang en" restart
[ "$(language_of_run)" = "language: en" ] || fail "--lang en gave $(language_of_run)"
question_shot en.png
kill -0 "$GAME_PID" || fail "the game exited"
# The title band and the plates' words change; the dimmed Kohru left of the dialog, a picture
# without words, does not.
texts=$(area_diff "$WORK/ja.png" "$WORK/en.png" 560x180+232+212)
around=$(area_diff "$WORK/ja.png" "$WORK/en.png" 190x350+10+200)
[ "$texts" -gt 2000 ] || fail "the question reads the same in both languages ($texts px differ)"
[ "$around" -lt 200 ] || fail "more than the texts changed ($around px differ beside the dialog)"
keep_shots ja.png en.png
echo "desktop en -> en; button -> ja, remembered over the desktop; --lang en -> en;" \
    "question texts differ by $texts px, the rest by $around"
