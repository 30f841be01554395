#!/usr/bin/env bash
# Usage: build-deps.sh BUILD_DIR
# Cross-builds, once, what Corvane needs for Windows and Debian does not
# package for mingw: Qt (Core, Gui, Widgets, Test, the windows platform and
# style plugins), libsquish and libarchive (with liblzma for 7-Zip archives),
# all from Debian's own source packages. zlib comes built from Debian's
# libz-mingw-w64-dev.
# The result goes to a cache folder outside the work tree, keyed by a hash of
# this recipe and of the host Qt version (whose moc, rcc and uic the
# cross-built Qt uses), so a changed recipe rebuilds and an unchanged one is
# reused. Prints the prefix on the last line of standard output.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build_dir=$(realpath -m "$1")

host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
squish_version=1.15-3
archive_version=$(dpkg-query -W -f='${Version}' libarchive-dev)
formats_version=$(dpkg-query -W -f='${Version}' qt6-image-formats-plugins)
key=$( (cat "$here/build-deps.sh" "$here/apt-source.sh" "$here/mingw-w64.cmake";
        echo "$host_qt $squish_version $archive_version $formats_version") | sha256sum | cut -c1-16)
cache=${CORVANE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvane-windows}
prefix=$cache/deps-$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# One fixed work folder, so that ccache (kept beside the prefixes) makes a
# rebuild after a small recipe change cheap.
work=$cache/work
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
rm -rf "$prefix"
mkdir -p "$prefix"
log=$build_dir/deps-build.log
mkdir -p "$build_dir"
echo "Building Qt and libsquish for Windows into $prefix (log: $log)" >&2
start=$(date +%s)

exec 3>&1 4>&2 >"$log" 2>&1
trap 'echo "build-deps: failed, see $log" >&4; tail -30 "$log" >&4' ERR
# An interrupted build of the same recipe goes on where it stopped.
if [ "$(cat "$work/recipe" 2>/dev/null)" != "$key" ]; then
  rm -rf "$work"
  "$here/apt-source.sh" "$build_dir/apt" "$work/src" \
    "qt6-base=$host_qt" "libsquish=$squish_version" \
    "libarchive=$archive_version" xz-utils "qt6-imageformats=$formats_version"
  patch_sources=yes
fi

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_DIR=$cache/ccache CCACHE_BASEDIR=$cache CCACHE_MAXSIZE=4G
  # Qt compiles with precompiled headers, which ccache only caches so.
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# At low priority, a job or two more than cores only takes up what others
# leave idle.
jobs=${CORVANE_DEPS_JOBS:-$(( $(nproc) + 2 ))}

squish_src=$(echo "$work"/src/libsquish-*/)
# Static and without OpenMP: one DLL fewer to ship, and korrad decodes one
# texture at a time.
cmake -S "$squish_src" -B "$work/squish-build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_SQUISH_WITH_OPENMP=OFF \
  -DBUILD_SQUISH_EXTRA=OFF -DBUILD_SQUISH_WITH_SSE2=ON
nice -n 10 cmake --build "$work/squish-build" -j"$jobs"
cmake --install "$work/squish-build"
stage_done() { echo "build-deps: $1 done after $(( $(date +%s) - start )) s" >&4; }
stage_done libsquish

# liblzma static, linked into libarchive's DLL; the command-line tools are
# not needed.
xz_src=$(echo "$work"/src/xz-utils-*/)
cmake -S "$xz_src" -B "$work/xz-build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DHAVE_GETOPT_LONG=OFF
nice -n 10 cmake --build "$work/xz-build" -j"$jobs"
cmake --install "$work/xz-build"

# libarchive as a DLL carrying zlib and liblzma inside, so Corvane links it
# the same way as on Linux. Only the readers and writers matter here: no
# crypto, no iconv (Windows converts names itself), none of the tools.
# Its probe of zlib's calling convention runs a program, which cannot run
# while cross-building: Debian's zlib uses the C convention, so the answer
# is given along with the library it was found for.
archive_src=$(echo "$work"/src/libarchive-*/)
mingw_lib=/usr/x86_64-w64-mingw32/lib
cmake -S "$archive_src" -B "$work/archive-build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" \
  -DZLIB_LIBRARY="$mingw_lib/libz.a" -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
  -DZLIB_WINAPI_WITH_LIB="$mingw_lib/libz.a" -DZLIB_WINAPI=0 \
  -DLIBLZMA_LIBRARY="$prefix/lib/liblzma.a" -DLIBLZMA_INCLUDE_DIR="$prefix/include" \
  -DENABLE_OPENSSL=OFF -DENABLE_CNG=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF \
  -DENABLE_LIBB2=OFF -DENABLE_LZ4=OFF -DENABLE_ZSTD=OFF -DENABLE_BZip2=OFF \
  -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF -DENABLE_PCREPOSIX=OFF -DENABLE_ICONV=OFF \
  -DENABLE_XATTR=OFF -DENABLE_ACL=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF \
  -DENABLE_CAT=OFF -DENABLE_TEST=OFF -DENABLE_INSTALL=OFF
nice -n 10 cmake --build "$work/archive-build" -j"$jobs" --target archive
mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include"
cp "$work/archive-build/bin/libarchive.dll" "$prefix/bin/"
cp "$work/archive-build/libarchive/libarchive.dll.a" "$prefix/lib/"
cp "$archive_src/libarchive/archive.h" "$archive_src/libarchive/archive_entry.h" "$prefix/include/"
stage_done libarchive

qt_src=$(echo "$work"/src/qt6-base-*/)
if [ "${patch_sources:-}" = yes ]; then
# Debian strips the tablet headers from the sources; Wine ships the same
# interface.
mkdir -p "$qt_src/src/3rdparty/wintab"
cp /usr/include/wine/wine/windows/wintab.h /usr/include/wine/wine/windows/pktdef.h \
   "$qt_src/src/3rdparty/wintab/"
# Wine's header names its A/W types through a macro of Wine's own winnt.h;
# Qt is built with UNICODE, so the W types. Qt also expects the calling
# convention macro of the original header.
sed -i '1i #ifndef DECL_WINELIB_TYPE_AW\n#define DECL_WINELIB_TYPE_AW(type) typedef type##W type;\n#endif' \
  "$qt_src/src/3rdparty/wintab/wintab.h"
sed -i '1i #ifndef API\n#define API WINAPI\n#endif' "$qt_src/src/3rdparty/wintab/wintab.h"
# With OpenGL and Direct2D switched off two code paths lack their guards.
patch_guard() {  # file, line text, replacement
  grep -qxF "$2" "$1" || { echo "build-deps: '$2' not found in $1" >&4; exit 1; }
  sed -i "s|^$2\$|$3|" "$1"
}
windows_plugin=$qt_src/src/plugins/platforms/windows
patch_guard "$windows_plugin/qwindowswindow.cpp" \
  '#if QT_CONFIG(dynamicgl)' '#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)'
patch_guard "$windows_plugin/qwindowsintegration.cpp" \
  '#if QT_CONFIG(directwrite3)' '#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)'
echo "$key" > "$work/recipe"
fi

# FreeType, from Qt's own copy, brings the offscreen platform the tests draw
# on; the program itself keeps Windows' own fonts.
cmake -S "$qt_src" -B "$work/qt-build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_pkg_config=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF \
  -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_direct2d=OFF \
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_zstd=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_doubleconversion=OFF
nice -n 10 cmake --build "$work/qt-build" -j"$jobs"
cmake --install "$work/qt-build"
stage_done Qt

# The TGA reader lives apart from Qt's base; the other formats of that
# package are of no use for paints.
formats_src=$(echo "$work"/src/qt6-imageformats-*/)
cmake -S "$formats_src" -B "$work/formats-build" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DFEATURE_tiff=OFF -DFEATURE_webp=OFF -DFEATURE_mng=OFF -DFEATURE_jasper=OFF
nice -n 10 cmake --build "$work/formats-build" -j"$jobs"
cmake --install "$work/formats-build"
stage_done "Qt image formats"
exec >&3 2>&4
trap - ERR

rm -rf "$work"
echo "Built in $(( $(date +%s) - start )) s wall; CPU time (user, system) of the build:" >&2
times >&2
touch "$prefix/.complete"
echo "$prefix"
