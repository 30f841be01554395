#!/usr/bin/env bash
# The real program in an X window, driven from the keyboard as a new player
# would: "Add new Texture", type a name over the prompt, pick the file.
set -u
program=$1
source "$(dirname "$0")/../support/e2e.sh"
game=$e2e_home/game/
crlf() { printf '%s\r\n' "$@"; }
# Created out of order: the list shows them sorted, so P51 comes first.
for plane in Zero P51; do
  dir=$game/Aircraft/$plane
  mkdir -p "$dir"
  echo "<aircraft/>" > "$dir/$plane.xdp"
  printf 'original %s' "$plane" > "$dir/${plane}_t.dds"
done
printf '[Corvane]\nTop=0\nLeft=0\nCFSPath=%s\n' "$game" > "$e2e_ini"

"$program" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no main window"
sleep 2  # the first scan runs a second after the window opens

for round in 1 2; do
  xdotool mousemove --window "$wid" 88 412 click 1   # "Add new Texture"
  form=$(find_window "Corvane")
  [ -n "$form" ] || fail "no name dialog"
  activate "$form"
  xdotool type --delay 30 "Paint$round"
  xdotool key Tab space                              # on to Ok, and press it
  picker=$(find_window "Select DDS file for Paint$round")
  [ -n "$picker" ] || fail "the name typed in round $round was not taken"
  activate "$picker"
  # A name no file starts with, so no completer pops up to take the keys.
  xdotool key ctrl+a; xdotool type --delay 30 "new$round.dds"
  # Only a file that exists can be added; made after typing, so no name
  # completer pops up to take the keys.
  printf 'paint %s' "$round" > "$game/Aircraft/P51/new$round.dds"
  xdotool key Return
  sleep 0.5
done

list=$game/Aircraft/P51/P51.pnt
grep -q $'^Paint1\r$' "$list" || fail "first paint missing: $(cat -A "$list")"
grep -q $'^Paint2\r$' "$list" || fail "second paint missing: $(cat -A "$list")"

xdotool mousemove --window "$wid" 50 508 click 1     # "Exit"
expect_clean_exit
echo "1 passed, 0 failed"
