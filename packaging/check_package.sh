#!/bin/sh
# Checks a built corvex-ems-sim package without installing it: its files unpacked with dpkg -x,
# the launcher's card copy into a throw-away home, and its declared dependencies.
#   check_package.sh BUILD_DIR
set -eu
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb="$(ls "$work"/out/corvex-ems-sim_*.deb)"
dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/corvex-ems-sim usr/bin/corvex-ems-run usr/bin/corvex-ems-sim-menu \
         usr/share/applications/corvex-ems-sim.desktop \
         usr/share/icons/hicolor/128x128/apps/corvex-ems-sim.png \
         usr/share/man/man1/corvex-ems-run.1 usr/share/corvex-ems-sim/SDCARD/SPLASH.MIF \
         usr/share/corvex-ems-sim/flightgear/corvex-ems.xml; do
  [ -e "$work/root/$f" ] || { echo "missing: /$f"; exit 1; }
done
grep -q '^Exec=corvex-ems-sim-menu' "$work/root/usr/share/applications/corvex-ems-sim.desktop"
depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6widgets6 libqt6serialport6 libgif7 qt6-qpa-plugins libgl1-mesa-dri; do
  echo "$depends" | grep -q "$d" || { echo "Depends lacks $d: $depends"; exit 1; }
done
# The menu launcher copies the sample card on the first start (the program itself is replaced).
sed -e "s#/usr/share/corvex-ems-sim#$work/root/usr/share/corvex-ems-sim#" -e "s#exec /usr/bin/corvex-ems-sim#exec true#" \
  "$work/root/usr/bin/corvex-ems-sim-menu" > "$work/menu"
HOME="$work/home" XDG_DATA_HOME= sh "$work/menu"
[ -f "$work/home/.local/share/corvex-ems-sim/SDCARD/SPLASH.MIF" ] || { echo "the launcher made no card"; exit 1; }
echo "package ok: $(basename "$deb")"
