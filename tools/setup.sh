# Shared set-up for ./run and ./test: installs the Debian packages that are missing and builds.
# Sourced, not run.

# What the game needs to build and run. libqt6multimedia6 carries Qt Multimedia with its
# PulseAudio output (linked in) and the media back-end plugins; qt6-tools-dev has the CMake
# side of Qt Linguist and qt6-l10n-tools its lupdate and lrelease, which build the translations.
BUILD_PACKAGES=(g++ make cmake pkg-config qt6-base-dev qt6-multimedia-dev qt6-svg-dev
    libqt6svg6 qt6-qpa-plugins zlib1g-dev libgl-dev libvulkan-dev fonts-dejavu-core
    libqt6multimedia6 qt6-tools-dev qt6-l10n-tools)
# What the test suite needs beyond that: a virtual X server and the tools that drive and look
# at it, an audio server with a null sink, the fuzzing compiler and OpenSSL for the benchmark,
# a small window manager for the full-screen and minimise tests, and what builds and checks the
# Debian package (dpkg-shlibdeps and file for its dependencies, lintian), what checks the
# layers and the layout of the code, and numpy, which the audio test matches the sink's
# recording with.
TEST_PACKAGES=(xvfb xauth imagemagick x11-utils xdotool pulseaudio pulseaudio-utils sox
    clang libclang-rt-14-dev libssl-dev procps appstream desktop-file-utils openbox lintian
    dpkg-dev file python3 python3-numpy clang-format)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get -o DPkg::Lock::Timeout=300 update -qq
    as_root apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
}

build_game() {
    local dir=${1:-build}
    shift || true
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
