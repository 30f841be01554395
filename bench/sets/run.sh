#!/usr/bin/env bash
# Builds the paint-set benchmark and prints each figure beside its limit.
#   bench/sets/run.sh [aircraft] [runs]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BENCH_BUILD:-build-bench} # an existing build folder saves a second build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_sets >/dev/null
# Work on the disk the build lies on, not a memory-backed /tmp.
cd "$build" && ./bin/bench_sets "$@"
