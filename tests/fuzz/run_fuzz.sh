#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs each for SECONDS: the archive reader on a seed corpus of valid archives made with fka, the
# score file parser on a few score files, and the resource file check on small resource files of
# every format and compression that rcc writes.
#   tests/fuzz/run_fuzz.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-60}
out=$build/fuzz
mkdir -p "$out"

if ! command -v clang++ >/dev/null; then
    echo "run_fuzz: clang++ is missing (install clang and libclang-rt-14-dev)" >&2
    exit 1
fi

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" "$root/tests/fuzz/fuzz_archive.cpp" "$root/sound/Archive.cpp" \
    "$root/sound/ArchiveBuffer.cpp" "$root/sound/Blowfish.cpp" -lz \
    -o "$out/fuzz_archive"
clang++ -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" $(pkg-config --cflags Qt6Core Qt6Widgets) "$root/tests/fuzz/fuzz_scorefile.cpp" \
    "$root/app/ScoreFile.cpp" "$root/base/RegularFile.cpp" "$root/base/Notice.cpp" "$root/base/Logging.cpp" $(pkg-config --libs Qt6Core Qt6Widgets) \
    -o "$out/fuzz_scorefile"
clang++ -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" $(pkg-config --cflags Qt6Core) "$root/tests/fuzz/fuzz_resource.cpp" \
    "$root/base/ResourceFile.cpp" "$root/base/RegularFile.cpp" $(pkg-config --libs Qt6Core) \
    -o "$out/fuzz_resource"

# Seeds: small valid archives of every flag combination, each behind a mode byte of 0.
fka=$build/fka
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus=$out/corpus
mkdir -p "$corpus"
if [ -x "$fka" ]; then
    printf 'RIFF tiny wave' >"$work/a.wav"
    head -c 300 /dev/zero >"$work/zero.bin"
    printf 'Tovira sings la la la la la la la la la' >"$work/text.txt"
    : >"$work/empty"
    for flags in 0 2 4 6; do
        "$fka" pack "$work/s$flags.fka" pelorn_quives --flags $flags \
            bgm/BGM_1.wav="$work/a.wav" se/zero="$work/zero.bin" t="$work/text.txt" e="$work/empty"
        { printf '\0'; cat "$work/s$flags.fka"; } >"$corpus/seed$flags"
    done
else
    echo "run_fuzz: $fka not built; starting from an empty corpus" >&2
fi

# Score files: a well-formed one, one written on Windows and one with odd lines.
scores=$out/corpus_scores
mkdir -p "$scores"
printf 'Tovira Game\ngame1=5\ngame2=-7\ngame3=2147483647\n' >"$scores/plain"
printf 'Tovira Game\r\ngame1=12\r\ngame2=0\r\n' >"$scores/crlf"
printf '# Tovira Game #\ngame3=abc\n42\ngame11=9\n\n' >"$scores/odd"

# Resource files: two folders and three small files, one of them again in English as the
# pictures of a language lie, in formats 1 to 3, plain and compressed (zstd needs format 3).
resources=$out/corpus_resources
mkdir -p "$resources"
rcc=$(pkg-config --variable=libexecdir Qt6Core)/rcc
printf 'Tovira Tovira Tovira Tovira Tovira Tovira Tovira Tovira\n' >"$work/a.txt"
printf 'x' >"$work/b.txt"
: >"$work/c.txt"
printf '<RCC><qresource prefix="/img"><file>a.txt</file><file>b.txt</file></qresource>' >"$work/r.qrc"
printf '<qresource prefix="/img" lang="en"><file alias="a.txt">b.txt</file></qresource>' >>"$work/r.qrc"
printf '<qresource prefix="/font"><file>c.txt</file></qresource></RCC>\n' >>"$work/r.qrc"
for format in 1 2 3; do
    for algo in none zlib zstd; do
        (cd "$work" && "$rcc" -binary --format-version $format --compress-algo $algo \
            --threshold 0 r.qrc -o "$resources/f$format-$algo.rcc") >/dev/null 2>&1 || true
    done
done

export TMPDIR=$work
# Runs one fuzz target for the given time and reports its executions.
fuzz() {
    local target=$1 corpus_dir=$2
    local log=$out/$target.log
    local status runs
    set +e
    "$out/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/$target-" "$corpus_dir" >"$log" 2>&1
    status=$?
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    if [ $status -ne 0 ]; then
        tail -n 60 "$log" >&2
        echo "run_fuzz: $target FAILED (exit $status); the crashing input is in $out/" >&2
        return 1
    fi
    echo "run_fuzz: $target ${runs:-?} executions in ${seconds} s under ASan+UBSan, no failures"
}

fuzz fuzz_archive "$corpus"
fuzz fuzz_scorefile "$scores"
fuzz fuzz_resource "$resources"
