#!/usr/bin/env bash
# The players' zip, unpacked into an empty folder and started under Wine in
# an X window with nothing else installed: the main window appears, a paint
# is applied on a test-built game (the main texture changes, the backup
# appears), "Exit" closes it, and the registry holds what it saved.
# Usage: e2e_windows_zip.sh ZIP WINE_RUN (inside an X server).
set -u
zip=$1 wine_run=$2
export CORVANE_WINE_DISPLAY=inherit
source "$(dirname "$0")/../support/e2e.sh"
home=$e2e_home
wine() { "$wine_run" "$@" 2>/dev/null; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
key='HKCU\Software\Ostrel\Corvane'

# The headless tests leave the prefix's Wine session running without a
# display, and a new program would join it: it ends first.
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
WINEPREFIX=$CORVANE_WINEPREFIX "$wineserver" -k 2>/dev/null
WINEPREFIX=$CORVANE_WINEPREFIX "$wineserver" -w 2>/dev/null

(cd "$home" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
program=$(find "$home" -name Corvane.exe | head -n 1)
[ -f "$program" ] || fail "no Corvane.exe in the zip"

# A player's folder name outside the old code pages, on the way to the game.
game="$home/Игры/CFS3/"
make_test_game "$game"
wine reg delete "$key" /f >/dev/null
wine reg add "$key" /v CFSPath /t REG_SZ /d "$(windows_path "$game")" /f >/dev/null || fail "cannot set CFSPath"
wine reg add "$key" /v Top /t REG_SZ /d 0 /f >/dev/null
wine reg add "$key" /v Left /t REG_SZ /d 0 /f >/dev/null

# The test prefix is headless by default.
"$wine_run" "$program" -platform windows 2>/dev/null & pid=$!
wid=""
for _ in $(seq 150); do   # Wine starts slower than a native program
  wid=$(xdotool search --onlyvisible --name '^CFS3 Corvane$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || fail "no window captioned 'CFS3 Corvane'"
sleep 3  # the first scan runs a second after the window opens

# Wine may draw the frame inside the X window: find the client area's corner
# from the window's size and the client size of 701 x 534.
info=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
dx=$(( (width - 701) / 2 ))
dy=$(( height - 534 - dx ))
row_y() { echo $(( $1 + 2 + 13 * $2 + 6 )); }
click() { xdotool mousemove --window "$wid" $(( $1 + dx )) $(( $2 + dy )) click 1; sleep 0.8; }

click 60 "$(row_y 8 0)"                 # the first aircraft
click 60 "$(row_y 208 2)"               # "Desert"
click 88 380                            # "Apply Current Selection"

expect_desert_applied "$game"

click 50 508                            # "Exit"
expect_clean_exit

saved=$(wine reg query "$key" | tr -d '\r')
for value in Top Left CFSPath Program; do
  grep -q "^ *$value *REG_SZ" <<<"$saved" || fail "$value not saved: $saved"
done
grep -q 'CFSPath *REG_SZ *Z:\\.*\\CFS3\\$' <<<"$saved" || fail "CFSPath not saved with its separator: $saved"
echo "1 passed, 0 failed"
