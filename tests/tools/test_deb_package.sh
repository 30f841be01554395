#!/usr/bin/env bash
# Makes the Debian package from the build, unpacks it into a throw-away root
# and checks it as a player's desktop would see it: its contents and
# dependencies, its desktop files, the installed thumbnailer, and the
# installed Corvane started by its menu entry's command in a home whose only
# game is in a Lutris prefix: the game must be found with no settings, and
# the conversion library must come from the installed library folder.
set -u
build=$1
source "$(dirname "$0")/../support/e2e.sh"
work=$e2e_home/work
mkdir -p "$work"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
  || fail "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/package/corvane_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"

depends=$(dpkg-deb -f "$deb" Depends)
# libsquish goes into the programs and the library whole, so no package of it is needed.
for needed in libqt6widgets6 libyaml-cpp qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
find_one() { find "$root" -path "$root/$1" | head -n 1; }
app_id=net.ostrel.corvane
for path in usr/bin/Corvane usr/bin/corvane-cli usr/bin/corvane-thumbnailer usr/bin/corvane-samplegame 'usr/lib*/libkorrad.so.1' \
            usr/share/applications/$app_id.desktop usr/share/metainfo/$app_id.metainfo.xml \
            usr/share/thumbnailers/corvane.thumbnailer usr/share/icons/hicolor/scalable/apps/$app_id.svg; do
  [ -n "$(find_one "$path")" ] || fail "the package lacks $path"
done
for size in 16 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  [ "$(file -b "$icon" | grep -o "$size x $size")" = "$size x $size" ] || fail "no $size-pixel icon: $(file -b "$icon")"
done
[ -z "$(find "$root" -name '*.h' -o -name 'libkorrad.so')" ] || fail "development files in the package"

desktop=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" 2>&1 \
  || fail "metainfo does not validate: $(cat "$work/appstream.log")"

# A home whose only game lies in a Lutris prefix: one aircraft, its texture
# taken from the installed sample-game tool's game, so that the first scan
# asks nothing and the preview loads a texture through the library.
export HOME=$e2e_home/home
unset WINEPREFIX
"$root/usr/bin/corvane-samplegame" "$work/sample" >/dev/null || fail "installed sample-game tool failed"
texture=$(find "$work/sample/Aircraft" -iname '*_t.dds' | head -n 1)
prefix=$HOME/Games/cfs3
mkdir -p "$prefix/drive_c/Games/CFS3/Aircraft/Trainer"
cp "$texture" "$prefix/drive_c/Games/CFS3/Aircraft/Trainer/Trainer_t.dds"
: >"$prefix/drive_c/Games/CFS3/Aircraft/Trainer/Trainer.xdp"
mkdir -p "$XDG_CONFIG_HOME/lutris/games"
printf 'game:\n  exe: %s\n  prefix: %s\nname: CFS3\n' "$prefix/drive_c/Games/CFS3/cfs3.exe" "$prefix" \
  >"$XDG_CONFIG_HOME/lutris/games/cfs3-1700000000.yml"
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\3.0] 1\n"EXE Path"="C:\\\\Games\\\\CFS3\\\\"\n' \
  >"$prefix/system.reg"
rm -f "$e2e_ini"

# The command line finds the game the same way, with no settings either.
listing=$("$root/usr/bin/corvane-cli" aircraft 2>&1) || fail "installed corvane-cli failed: $listing"
grep -qi trainer <<<"$listing" || fail "corvane-cli did not find the Lutris game: $listing"
"$root/usr/bin/corvane-thumbnailer" -s 128 "$texture" "$work/thumb.png" || fail "installed thumbnailer failed"
file -b "$work/thumb.png" | grep -q '^PNG image data' || fail "the thumbnail is no PNG"

# The menu entry's command, found in the unpacked root rather than on PATH.
command=$(sed -n 's/^Exec=//p' "$desktop")
[ "$command" = Corvane ] || fail "unexpected Exec line: $command"
LD_DEBUG=libs LD_DEBUG_OUTPUT=$work/loader "$root/usr/bin/$command" & pid=$!
wid=$(find_window 'CFS3 Corvane')
[ -n "$wid" ] || fail "the installed Corvane showed no window"
sleep 2   # the first scan and the first preview
xdotool mousemove --window "$wid" 50 508 click 1   # "Exit"
expect_clean_exit

grep -q "^CFSPath=$prefix/drive_c/Games/CFS3/\$" "$e2e_ini" || fail "the Lutris game was not found: $(cat "$e2e_ini")"
grep -h "calling init: $root/usr/.*/libkorrad.so.1" "$work"/loader.* >/dev/null \
  || fail "the installed conversion library was not loaded: $(grep -h korrad "$work"/loader.* | head -3)"
echo "1 passed, 0 failed"
