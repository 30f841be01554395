#!/usr/bin/env bash
# The real program in an X window: a zip of two paints for two aircraft is
# dragged from another program onto the window, the plan is confirmed, and
# both aircraft get their paint.
set -u
program=$1 drag_source=$2 make_archive=$3
source "$(dirname "$0")/../support/e2e.sh"
game=$e2e_home/game/
make_test_game "$game"
printf '[Corvane]\nTop=0\nLeft=0\nCFSPath=%s\n' "$game" > "$e2e_ini"

downloads=$e2e_home/Downloads
mkdir -p "$downloads"
printf 'DDS red tail' > "$downloads/red.dds"
printf 'DDS green' > "$downloads/green.dds"
printf 'thanks for downloading' > "$downloads/readme.txt"
"$make_archive" "$downloads/two paints.zip" "P51/p51_red_tail.dds=$downloads/red.dds" \
  "zero_green.dds=$downloads/green.dds" "readme.txt=$downloads/readme.txt" || fail "no archive"

"$program" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no main window"
sleep 2  # the first scan runs a second after the window opens

"$drag_source" "$downloads/two paints.zip" & source_pid=$!
trap 'kill $source_pid 2>/dev/null; rm -rf "$e2e_home"' EXIT
sid=$(find_window 'drag source')
[ -n "$sid" ] || fail "no drag source"
sleep 0.5

# Press on the source, travel to the preview of the main window, let go.
xdotool mousemove --window "$sid" 30 30 mousedown 1
for x in 880 800 700 600 500 450 420; do xdotool mousemove "$x" 200; sleep 0.1; done
sleep 0.3
xdotool mouseup 1

plan=$(find_window 'Install paints')
[ -n "$plan" ] || fail "no install plan"
press_until_closed 'Install paints' Return   # "Install", the default button
box=$(find_window 'Corvane')          # what was added, per aircraft
[ -n "$box" ] || fail "no report after the install"
press_until_closed Corvane Return

# Each texture is named after its paint, without its aircraft's name.
for pair in "P51:Red_Tail.dds:Red Tail:DDS red tail" "Zero:Green.dds:Green:DDS green"; do
  IFS=: read -r plane file name content <<<"$pair"
  dir=$game/Aircraft/$plane
  [ "$(cat "$dir/$file" 2>/dev/null)" = "$content" ] || fail "$plane did not get $file"
  grep -q "^$name"$'\r'"\$" "$dir/$plane.pnt" || fail "$plane's list does not name $name"
  grep -q "^Desert"$'\r'"\$" "$dir/$plane.pnt" || fail "$plane's list lost its paints"
  [ "$(texture_text "$dir/${plane}_t.dds.bak")" = "original $plane" ] || fail "$plane has no backup"
done
[ -e "$game/Aircraft/P51/readme.txt" ] && fail "the read-me was installed under its own name"
[ -s "$game/Aircraft/P51/Red_Tail.txt" ] || fail "the read-me was not kept beside the paint"

xdotool mousemove --window "$wid" 50 508 click 1   # "Exit"
expect_clean_exit
echo "1 passed, 0 failed"
