#!/usr/bin/env bash
# Builds the collection benchmark and prints each figure beside its limit.
#   bench/collection/run.sh [aircraft] [paints] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BENCH_BUILD:-build-bench} # an existing build folder saves a second build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_collection Corvane >/dev/null
# The game and the caches lie on the disk the build lies on.
cd "$build" && QT_QPA_PLATFORM=offscreen ./bin/bench_collection "$@"
