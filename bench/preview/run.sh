#!/usr/bin/env bash
# Builds the preview benchmark, writes its textures, and prints each target
# of a preview step beside its limit, Pillow and ImageMagick, how true each
# preview is to its texture, and a held key over textures read from disk.
#   bench/preview/run.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-20}
build=${BENCH_BUILD:-build-bench} # an existing build folder saves a second build

missing=()
for p in python3-pil imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_preview bench_floor bench_heldkey >/dev/null

textures="$build/textures"
mkdir -p "$textures"
[ -f "$textures/paint_dxt1_4096_mips_cluster.dds" ] || "$build"/bin/bench_floor make "$textures" >/dev/null

# Debian's interpreter, which is the one python3-pil belongs to.
QT_QPA_PLATFORM=offscreen /usr/bin/python3 bench/preview/compare.py "$build"/bin "$textures" "$runs"

# A held key over textures read from disk: about 650 MiB of copies under the build folder.
echo
QT_QPA_PLATFORM=offscreen "$build"/bin/bench_heldkey "$textures/dxt5_4096_flat.dds" "$build" 2>/dev/null
# The same over the aircraft list: each step loads an aircraft and previews its main texture.
QT_QPA_PLATFORM=offscreen "$build"/bin/bench_heldkey "$textures/dxt5_4096_flat.dds" "$build" 40 aircraft 2>/dev/null
