# Shared by the real-window tests: source it, then use these functions.
# Each test runs the program in a private home with no Wine prefix.

e2e_home=$(mktemp -d)
trap 'rm -rf "$e2e_home"' EXIT
# The home too: the game is also looked for in the prefixes of the player's
# Wine tools (Lutris, Steam and others), which a test must not meet.
export HOME=$e2e_home XDG_CONFIG_HOME=$e2e_home/config XDG_DATA_HOME=$e2e_home/data WINEPREFIX=$e2e_home/no-wine
mkdir -p "$XDG_CONFIG_HOME/Ostrel"
e2e_ini=$XDG_CONFIG_HOME/Ostrel/Ostrel.ini

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }

# The id of the visible window whose caption is exactly $1, waiting for it.
find_window() {
  local id=""
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  echo "$id"
}

# Waits for the program to end by itself and checks it ended with 0.
expect_clean_exit() {
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "still running after Exit"
  wait "$pid"; local code=$?
  [ "$code" = 0 ] || fail "exit code $code"
}
