# `cmake --install` lays out a runnable game with valid desktop entry and AppStream metadata,
# and the launcher script runs the game from a per-user folder that links the data files.
set -euo pipefail
build=${1:?usage: test_install.sh BUILD_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
p="$work/prefix"
for f in bin/tovira-parade libexec/tovira-parade/tovira share/tovira-parade/resuorce.rcc \
         share/tovira-parade/resuorce2x.rcc share/tovira-parade/Tovira.fka \
         share/applications/tovira-parade.desktop \
         share/metainfo/io.github.tovira_parade.metainfo.xml \
         share/icons/hicolor/48x48/apps/tovira-parade.png \
         share/icons/hicolor/256x256/apps/tovira-parade.png; do
    [ -e "$p/$f" ] || fail "missing $f"
done
size=$(/usr/bin/identify -format "%wx%h" "$p/share/icons/hicolor/128x128/apps/tovira-parade.png")
[ "$size" = "128x128" ] || fail "128 icon is $size"
desktop-file-validate "$p/share/applications/tovira-parade.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$p/share/metainfo/io.github.tovira_parade.metainfo.xml" \
    || fail "AppStream metadata"

# The screenshots the metadata names were made by the build from the window, one set per
# language: each 1024 x 576 and the two languages' pictures of a screen not alike.
shots="$build/assets/desktop/screenshots"
for what in menu story shooting; do
    for lang in en ja; do
        grep -q "screenshots/$what-$lang.png" "$p/share/metainfo/io.github.tovira_parade.metainfo.xml" ||
            fail "the metadata does not name $what-$lang.png"
        [ "$(/usr/bin/identify -format "%wx%h" "$shots/$what-$lang.png")" = "1024x576" ] ||
            fail "no 1024x576 screenshot $what-$lang.png"
    done
    differ=$(/usr/bin/compare -metric AE "$shots/$what-en.png" "$shots/$what-ja.png" null: 2>&1 || true)
    [ "${differ%%.*}" -gt 2000 ] || fail "the $what screenshots are alike in both languages ($differ)"
done

# --version prints the release the metadata names; --help lists the options; both without any
# window system, as on a text console.
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$p/share/metainfo/io.github.tovira_parade.metainfo.xml" | head -n 1)
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$p/libexec/tovira-parade/tovira" --version) ||
    fail "--version failed"
[ -n "$release" ] && [ "$version" = "tovira $release" ] || fail "--version says '$version', metadata '$release'"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$p/libexec/tovira-parade/tovira" --help |
    grep -q -- "--fullscreen" || fail "--help does not list --fullscreen"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$p/libexec/tovira-parade/tovira" --help |
    grep -q -- "--mute" || fail "--help does not list --mute"

# The launcher script prepares the user's folder and starts the game there, also for a home
# whose name is not valid UTF-8; a relative XDG_DATA_HOME is ignored.
export HOME="$work/home"$'\xff\xfe'
mkdir -p "$HOME" "$work/start"
(cd "$work/start" && XDG_DATA_HOME=rel QT_QPA_PLATFORM=offscreen timeout 5 "$p/bin/tovira-parade") \
    >"$work/log" 2>&1 || true
[ ! -e "$work/start/rel" ] || fail "a relative XDG_DATA_HOME made a folder where the game started"
user="$HOME/.local/share/tovira-parade"
[ -L "$user/resuorce.rcc" ] || fail "no link to the resource file"
head -n 1 "$user/tovira.conf" | grep -qx "Tovira Game" || fail "no score file in the user's folder"
grep -q noResuorce "$work/log" && fail "the installed game did not find its resources"
echo "install layout, desktop entry, metadata and launcher script are fine"
