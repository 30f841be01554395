#!/usr/bin/env bash
# Usage: apt-source.sh APT_DIR DEST PACKAGE[=VERSION]...
# Fetches Debian source packages without touching the system's apt
# configuration: the machine's own binary sources are repeated as source
# lines in a private configuration under APT_DIR, with its own lists and
# cache, and the packages are unpacked into DEST.
set -euo pipefail
apt_dir=$(realpath -m "$1"); dest=$(realpath -m "$2"); shift 2

mkdir -p "$apt_dir/sources.list.d" "$apt_dir/state/lists/partial" \
         "$apt_dir/cache/archives/partial" "$dest"
: > "$apt_dir/sources.list"
rm -f "$apt_dir"/sources.list.d/*

if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >> "$apt_dir/sources.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done

apt_opts=(
  -o Dir::Etc::SourceList="$apt_dir/sources.list"
  -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
  -o Dir::State="$apt_dir/state"
  -o Dir::Cache="$apt_dir/cache"
  -o Debug::NoLocking=1
  -o APT::Sandbox::User=root
)
apt-get "${apt_opts[@]}" -qq update
cd "$dest"
apt-get "${apt_opts[@]}" -q source "$@"
