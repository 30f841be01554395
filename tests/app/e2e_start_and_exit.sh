#!/usr/bin/env bash
# Starts the real program in an X window with a private settings folder,
# checks its caption and client size, shows the About dialog with F1, clicks
# "Exit" as a player would, and checks the exit code and what it saved.
set -u
program=$1
source "$(dirname "$0")/../support/e2e.sh"
printf '[Corvane]\nTop=120\nLeft=150\nCFSPath=%s/game\n' "$e2e_home" > "$e2e_ini"

"$program" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "no window captioned 'CFS3 Corvane'"

info=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[ "$width" = 701 ] && [ "$height" = 534 ] || fail "client area is ${width}x${height}, not 701x534"

sleep 1.5   # let the first scan run

# F1 shows the About dialog; its "Close" button (296,240 105x25) closes it.
xdotool mousemove --window "$wid" 400 300 click 1
xdotool key --window "$wid" F1
about=$(find_window 'About ')
[ -n "$about" ] || fail "F1 showed no About dialog"
sleep 0.5
xdotool mousemove --window "$about" 348 252 click 1
closed=""
for _ in $(seq 25); do
  xdotool search --onlyvisible --name '^About $' >/dev/null 2>&1 || { closed=1; break; }
  sleep 0.2
done
[ -n "$closed" ] || fail "the About dialog did not close"

xdotool mousemove --window "$wid" 50 508 click 1   # "Exit" sits at 8,496 89x25
expect_clean_exit

grep -q '^Top=120' "$e2e_ini" || fail "Top not saved: $(cat "$e2e_ini")"
grep -q '^Left=150' "$e2e_ini" || fail "Left not saved"
grep -q "^CFSPath=$e2e_home/game/" "$e2e_ini" || fail "CFSPath not saved with its separator"
grep -q "^Program=$program" "$e2e_ini" || fail "Program not recorded"
echo "1 passed, 0 failed"
