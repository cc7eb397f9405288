#!/usr/bin/env bash
# Runs the pacing benchmark on the offscreen platform and under a private Xvfb.
# Usage: bench/run_pacing.sh [build-dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-5}
QT_QPA_PLATFORM=offscreen "$build/bench/bench_pacing" "$seconds"
xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb "$build/bench/bench_pacing" "$seconds"
