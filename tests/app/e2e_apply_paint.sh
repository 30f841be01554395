#!/usr/bin/env bash
# The real program in an X window on a test-built game, driven as a player
# would: pick an aircraft with the mouse, a paint with mouse and keyboard,
# apply it, then apply "Default Paint" to get the original back.
set -u
program=$1
source "$(dirname "$0")/../support/e2e.sh"
game=$e2e_home/game/
make_test_game "$game"
printf '[Corvane]\nTop=0\nLeft=0\nCFSPath=%s\n' "$game" > "$e2e_ini"

"$program" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no main window"
sleep 2  # the first scan runs a second after the window opens

# Rows are 13 pixels high inside a 2-pixel list frame.
row_y() { echo $(( $1 + 2 + 13 * $2 + 6 )); }
click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.4; }

click 60 "$(row_y 8 1)"                 # the second aircraft
click 60 "$(row_y 208 1)"               # "Default Paint"
xdotool key --window "$wid" Down; sleep 0.4   # on to the first paint, "Desert"
click 88 380                            # "Apply Current Selection"

expect_desert_applied "$game"
dir=$game/Aircraft/$changed

click 60 "$(row_y 208 1)"               # "Default Paint"
click 88 380                            # "Apply Current Selection"
[ "$(texture_text "$dir/${changed}_t.dds")" = "original $changed" ] || fail "the original did not come back"
[ "$(texture_text "$dir/${changed}_t.dds.bak")" = "original $changed" ] || fail "the backup changed"

click 50 508                            # "Exit"
expect_clean_exit
echo "1 passed, 0 failed"
