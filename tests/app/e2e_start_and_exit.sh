#!/usr/bin/env bash
# Starts the real program in an X window with a private settings folder,
# checks its caption and client size, clicks "Exit" as a player would, and
# checks the exit code and what it saved.
set -u
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config WINEPREFIX=$home/no-wine
mkdir -p "$XDG_CONFIG_HOME/Ostrel"
printf '[Corvane]\nTop=120\nLeft=150\nCFSPath=%s/game\n' "$home" > "$XDG_CONFIG_HOME/Ostrel/Ostrel.ini"

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }

"$program" & pid=$!
wid=""
for _ in $(seq 50); do
  wid=$(xdotool search --onlyvisible --name '^CFS3 Corvane$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || fail "no window captioned 'CFS3 Corvane'"

info=$(xwininfo -id "$wid")
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[ "$width" = 701 ] && [ "$height" = 534 ] || fail "client area is ${width}x${height}, not 701x534"

sleep 1.5   # let the first scan run

# F1 shows the About dialog; Escape closes it again.
xdotool mousemove --window "$wid" 400 300 click 1
xdotool key --window "$wid" F1
about=""
for _ in $(seq 25); do
  about=$(xdotool search --onlyvisible --name '^About $' 2>/dev/null | head -n 1)
  [ -n "$about" ] && break
  sleep 0.2
done
[ -n "$about" ] || fail "F1 showed no About dialog"
xdotool key --window "$about" Escape
for _ in $(seq 25); do
  xdotool search --onlyvisible --name '^About $' >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool mousemove --window "$wid" 50 508 click 1   # "Exit" sits at 8,496 89x25
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after Exit"
wait "$pid"; code=$?
[ "$code" = 0 ] || fail "exit code $code"

ini=$XDG_CONFIG_HOME/Ostrel/Ostrel.ini
grep -q '^Top=120' "$ini" || fail "Top not saved: $(cat "$ini")"
grep -q '^Left=150' "$ini" || fail "Left not saved"
grep -q "^CFSPath=$home/game/" "$ini" || fail "CFSPath not saved with its separator"
grep -q "^Program=$program" "$ini" || fail "Program not recorded"
echo "1 passed, 0 failed"
