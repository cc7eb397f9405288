#!/usr/bin/env bash
# Runs the benchmarks that carry goals and prints their figures: frame cost of every screen in
# the window and in full screen at 1920 x 1080 and 3840 x 2160, start-up time and peak memory,
# CPU on the idle menu and during Shooting. The goals are figures
# to read, not pass or fail: the script fails only when a benchmark could not run.
# Usage: bench/run_all.sh [build-dir]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
status=0

echo "== frame cost =="
QT_QPA_PLATFORM=offscreen "$build/bench/bench_frames" 600 || status=1
echo
echo "== frame cost, full screen =="
for size in 1920x1080 3840x2160; do
    QT_QPA_PLATFORM=offscreen "$build/bench/bench_frames" 120 "$size" || status=1
done
echo
echo "== start-up =="
(cd "$build/game" && QT_QPA_PLATFORM=offscreen ../bench/bench_startup 7) || status=1
echo
echo "== CPU =="
bash bench/run_cpu.sh "$build" 10 || status=1
exit $status
