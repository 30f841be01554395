#!/usr/bin/env bash
# Usage: make-zip.sh QT_PREFIX BIN_DIR ZIP
# Packs what a player unzips anywhere and runs with nothing installed.
set -euo pipefail
prefix=$1 bin=$2 zip=$3
here=$(cd "$(dirname "$0")" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
name=$(basename "$zip" .zip)
mkdir -p "$stage/$name"
for program in Corvane.exe corvane-cli.exe korrad.dll; do
  if [ -f "$bin/$program" ]; then
    cp "$bin/$program" "$stage/$name/"
  elif [ "$program" != corvane-cli.exe ]; then
    echo "make-zip: $bin/$program is missing" >&2; exit 1
  fi
done
"$here/deploy.sh" "$prefix" "$stage/$name"
# Symbols are of no use to a player and make up most of the size.
find "$stage/$name" \( -name '*.exe' -o -name '*.dll' \) \
  -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
sed 's/$/\r/' "$here/ReadMe.txt" > "$stage/$name/ReadMe.txt"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$(realpath -m "$zip")" --format=zip "$name")
