#!/usr/bin/env bash
# Builds the install benchmark and prints each figure beside its limit.
#   bench/install/run.sh [small count] [large MiB] [rounds]
# Then the window's size around installs of the large download.
# The peer is unzip + cp, so unzip must be there; it is installed here, not
# made a dependency of the tests.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BENCH_BUILD:-build-bench} # an existing build folder saves a second build

if ! command -v unzip >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends unzip >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_install bench_install_window >/dev/null
# Work on the disk the build lies on, not a memory-backed /tmp.
cd "$build"
./bin/bench_install "$@"
echo
QT_QPA_PLATFORM=offscreen ./bin/bench_install_window "${2:-320}" "${3:-3}" 2>/dev/null
