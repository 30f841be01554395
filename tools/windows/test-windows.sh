#!/usr/bin/env bash
# "./test windows": cross-builds Corvane and its tests for 64-bit Windows,
# runs the suite under Wine, then packs the players' zip and starts it in a
# real X window. Everything lands under build-windows/; Qt and libsquish for
# mingw are built once into a cache folder outside the work tree (see
# build-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
out=$root/build-windows
tools/install-deps.sh g++-mingw-w64-x86-64 libz-mingw-w64-dev wine64 libwine-dev dpkg-dev fonts-dejavu-core
mkdir -p "$out"

echo "== Qt and libsquish for Windows"
prefix=$(tools/windows/build-deps.sh "$out" | tail -n 1)

echo "== Building Corvane for Windows"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$out/build" -G Ninja "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64.cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/windows/wine-run.sh" \
  -DCORVANE_ZIP_DIR="$out" \
  -DSTB_INCLUDE_DIR=/usr/include/stb >/dev/null  # header-only, the same for every system
cmake --build "$out/build" -j"$(nproc)"
# The tests run beside the program, with what the zip carries and Qt Test.
tools/windows/deploy.sh "$prefix" "$out/build/bin" --with-test-parts

echo "== Wine prefix"
export CORVANE_WINEPREFIX=$out/wineprefix
if [ ! -f "$CORVANE_WINEPREFIX/system.reg" ]; then
  tools/windows/wine-run.sh wineboot -i >/dev/null 2>&1 || true
fi
# Wine keeps the host's QT_ variables from Windows programs; the prefix's own
# environment makes the tests headless (the window tests ask for windows).
# The offscreen platform draws text with FreeType, from the host's fonts.
for setting in "QT_QPA_PLATFORM offscreen" 'QT_QPA_FONTDIR Z:\usr\share\fonts\truetype\dejavu'; do
  tools/windows/wine-run.sh reg add 'HKCU\Environment' /v "${setting%% *}" /t REG_SZ /d "${setting#* }" /f >/dev/null
done

echo "== Tests under Wine"
cd "$out/build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
