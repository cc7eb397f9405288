# The Debian package: cpack builds tovira-parade_<version>_<arch>.deb, lintian finds no error in
# it, its Depends name the Qt 6 libraries, apt-get installs it, the installed tovira-parade
# opens its window under Xvfb from a fresh user folder, and the package is removed again.
source "$(dirname "$0")/../window/lib.sh"
build=$GAME_DIR
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi; }
apt() { DEBIAN_FRONTEND=noninteractive as_root apt-get -y -q -o DPkg::Lock::Timeout=300 "$@"; }

rm -f "$build"/tovira-parade_*.deb
(cd "$build" && cpack -G DEB >"$WORK/cpack.log" 2>&1) || fail "cpack: $(tail -n 20 "$WORK/cpack.log")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/tovira-parade_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$build"/*.deb 2>&1)"
lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6multimedia6 libqt6gui6 libqt6core6; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done

trap 'apt purge tovira-parade >/dev/null 2>&1 || true; cleanup' EXIT
apt install "$deb" >"$WORK/apt.log" 2>&1 || fail "apt-get install: $(tail -n 20 "$WORK/apt.log")"
[ -x /usr/bin/tovira-parade ] || fail "no /usr/bin/tovira-parade after installing"

export HOME="$WORK/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
start_xvfb
tovira-parade >"$WORK/game.log" 2>&1 &
GAME_PID=$!
win=$(wait_window)
sleep 2
shot "$win" "$WORK/installed.png"
size=$(/usr/bin/convert "$WORK/installed.png" -format "%wx%h" info:)
colours=$(/usr/bin/convert "$WORK/installed.png" -format "%k" info:)
[ "$size" = "1024x576" ] || fail "installed game's window is $size"
[ "$colours" -gt 200 ] || fail "installed game drew only $colours colours"
head -n 1 "$HOME/.local/share/tovira-parade/tovira.conf" | grep -qx "Tovira Game" ||
    fail "no score file in the fresh user folder"
kill "$GAME_PID"
wait "$GAME_PID" 2>/dev/null || true
GAME_PID=

apt purge tovira-parade >"$WORK/apt.log" 2>&1 || fail "apt-get purge: $(tail -n 20 "$WORK/apt.log")"
[ ! -e /usr/bin/tovira-parade ] || fail "/usr/bin/tovira-parade left after removing the package"
echo "$(basename "$deb") built, lintian clean, installed, window $size with $colours colours, removed"
