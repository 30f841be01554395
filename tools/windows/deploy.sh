#!/usr/bin/env bash
# Usage: deploy.sh QT_PREFIX DEST [--with-test-parts]
# Puts beside the programs in DEST what they need to run on a Windows
# machine with nothing installed: the Qt DLLs and plugins and the mingw
# runtime. --with-test-parts adds Qt Test and the offscreen platform the
# tests draw on.
set -euo pipefail
prefix=$1 dest=$2 test_parts=${3:-}
mkdir -p "$dest/platforms" "$dest/styles" "$dest/imageformats"

qt_dlls=(Qt6Core Qt6Gui Qt6Widgets)
# Paints may come as JPEG or TGA pictures besides BMP and PNG, which Qt
# reads without a plugin.
plugins=(platforms/qwindows styles/qwindowsvistastyle imageformats/qjpeg imageformats/qtga)
if [ "$test_parts" = --with-test-parts ]; then
  qt_dlls+=(Qt6Test)
  plugins+=(platforms/qoffscreen)
fi
for dll in "${qt_dlls[@]}" libarchive; do cp -u "$prefix/bin/$dll.dll" "$dest/"; done
for plugin in "${plugins[@]}"; do cp -u "$prefix/plugins/$plugin.dll" "$dest/$plugin.dll"; done

# The runtime of the -posix compilers: C++ library, unwinder, threads.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  found=$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")
  [ -f "$found" ] || { echo "deploy: $dll not found" >&2; exit 1; }
  cp -u "$found" "$dest/"
done
