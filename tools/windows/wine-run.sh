#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build's own prefix:
# CORVANE_WINEPREFIX (set by the Windows test run), headless unless
# CORVANE_WINE_DISPLAY names an X display ("inherit": the caller's), quiet, and with the Qt and
# mingw runtime DLLs on WINEPATH.
set -euo pipefail
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=${CORVANE_WINEPREFIX:?CORVANE_WINEPREFIX is not set}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "${CORVANE_WINE_DISPLAY:-}" = inherit ]; then
  :  # the X server the caller runs in
elif [ -n "${CORVANE_WINE_DISPLAY:-}" ]; then
  export DISPLAY=$CORVANE_WINE_DISPLAY
else
  unset DISPLAY WAYLAND_DISPLAY
fi
if [ -n "${CORVANE_WINEPATH:-}" ]; then
  export WINEPATH=$CORVANE_WINEPATH
fi
exec "$wine" "$@"
