#!/usr/bin/env bash
# Builds the thumbnailer benchmark and an earlier commit's corvane-thumbnailer
# in a folder of its own, then times both in the same run.
#   bench/thumbnailer/run.sh [EARLIER_COMMIT [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/../.."
earlier=${1:-d6b40fe} # the last commit whose thumbnailer linked Qt Gui
runs=${2:-30}
build=${BENCH_BUILD:-build-bench}
old=${BENCH_OLD_BUILD:-build-bench-earlier}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_thumbnailer >/dev/null

mkdir -p "$old/src"
if [ "$(cat "$old/commit" 2>/dev/null)" != "$earlier" ]; then
  rm -rf "$old/src" && mkdir -p "$old/src"
  git archive "$earlier" | tar -x -C "$old/src"
  echo "$earlier" >"$old/commit"
fi
cmake -S "$old/src" -B "$old/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$old/build" -j2 --target corvane-thumbnailer >/dev/null

"$build"/bin/bench_thumbnailer "$runs" "$old/build/bin/corvane-thumbnailer"
