#!/usr/bin/env bash
# The real program in an X window on a test-built game, driven as a player
# would: pick an aircraft with the mouse, a paint with mouse and keyboard,
# apply it, then apply "Default Paint" to get the original back.
set -u
program=$1
source "$(dirname "$0")/../support/e2e.sh"
game=$e2e_game
for plane in P51 Zero; do add_aircraft "$plane" Desert=desert.dds Navy=navy.dds; done

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

changed=""
for plane in P51 Zero; do
  content=$(cat "$game/Aircraft/$plane/${plane}_t.dds")
  if [ "$content" = "paint desert" ]; then changed=$plane;
  elif [ "$content" != "original $plane" ]; then fail "$plane main texture holds '$content'"; fi
done
[ -n "$changed" ] || fail "no main texture was replaced"
dir=$game/Aircraft/$changed
[ "$(cat "$dir/${changed}_t.dds.bak")" = "original $changed" ] || fail "backup is not the original"

click 60 "$(row_y 208 1)"               # "Default Paint"
click 88 380                            # "Apply Current Selection"
[ "$(cat "$dir/${changed}_t.dds")" = "original $changed" ] || fail "the original did not come back"
[ "$(cat "$dir/${changed}_t.dds.bak")" = "original $changed" ] || fail "the backup changed"

click 50 508                            # "Exit"
expect_clean_exit
echo "1 passed, 0 failed"
