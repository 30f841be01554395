#!/usr/bin/env bash
# Usage: run-qttest.sh TEST.exe [ARGS...]
# Runs a Qt Test program under Wine and shows its log. Under Wine the log
# never reaches a pipe on standard output, so it goes to a file first (a
# program of several test groups writes one file a group, numbered); the
# exit code stays the program's own (the number of failed cases).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp -p . qttest-XXXXXX.txt)
trap 'rm -f "$log" "$log".*' EXIT
"$here/wine-run.sh" "$1" "${@:2}" -o "$(basename "$log"),txt"
code=$?
cat "$log"
for (( group = 1; group < 1000; group++ )); do
  [ -f "$log.$group" ] || break
  cat "$log.$group"
done
exit "$code"
