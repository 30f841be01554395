#!/usr/bin/env bash
# The collection window of the real program in an X window: opened with F3
# from the main window, searched by typing, and a paint applied by a
# double-click on its picture; then the program started on it with
# --collection.
set -u
program=$1
source "$(dirname "$0")/../support/e2e.sh"
game=$e2e_home/game/
make_test_game "$game"
# A known size and splitter, so the pictures are where this script clicks.
printf '[Corvane]\nTop=0\nLeft=0\nCFSPath=%s\nCollectionWidth=920\nCollectionHeight=600\nCollectionListWidth=300\nCollectionPaintsWidth=600\n' \
  "$game" > "$e2e_ini"

"$program" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no main window"
sleep 2  # the first scan runs a second after the window opens

activate "$wid"
xdotool key --window "$wid" F3
cid=$(find_window 'Corvane Collection')
[ -n "$cid" ] || fail "F3 opened no collection window"
sleep 1

# The search box is the first control under the menu bar; clicking it also
# makes the window active.
xdotool mousemove --window "$cid" 120 48 click 1; sleep 0.3
xdotool type --delay 60 'NAVY zero'; sleep 0.5
# The one aircraft left, Zero, in the first row of the list.
xdotool mousemove --window "$cid" 150 95 click 1; sleep 0.8
# Its pictures: installed, default, then Navy, the only paint the search
# lets through; each cell is 152 pixels wide beside a 300-pixel list.
xdotool mousemove --window "$cid" 690 140 click --repeat 2 --delay 80 1; sleep 1

[ "$(texture_text "$game/Aircraft/Zero/Zero_t.dds")" = "paint navy" ] || fail "Zero does not wear Navy: '$(texture_text "$game/Aircraft/Zero/Zero_t.dds")'"
[ "$(texture_text "$game/Aircraft/Zero/Zero_t.dds.bak")" = "original Zero" ] || fail "Zero's backup is not its original"
[ "$(texture_text "$game/Aircraft/P51/P51_t.dds")" = "original P51" ] || fail "the P51 changed"

press_until_closed 'Corvane Collection' ctrl+w
activate "$wid"
xdotool mousemove --window "$wid" 50 508 click 1   # "Exit"
expect_clean_exit

# Started the way a shortcut to the collection starts it: both windows open.
"$program" --collection & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no main window with --collection"
[ -n "$(find_window 'Corvane Collection')" ] || fail "--collection opened no collection window"
press_until_closed 'Corvane Collection' ctrl+w
activate "$wid"
xdotool mousemove --window "$wid" 50 508 click 1   # "Exit"
expect_clean_exit
echo "2 passed, 0 failed"
