#!/usr/bin/env bash
# Lays every data file of the package into the folder DEST, where a device
# has them below "/": the property lists of package/layout, the switch
# bundle's description (switch/Info.plist) and the icons rendered from
# package/art with rsvg-convert.
#
#   package/stage_data.sh DEST
#
# The device build stages with it and the simulated device's template is laid
# out with it, so both hold the same files. The same sources give the same
# bytes: the glyph's PDF carries SOURCE_DATE_EPOCH as its date (0 when unset).
# Exit status: 0 laid out, 1 a copy or a rendering failed, 2 bad usage,
# 3 no rsvg-convert.
set -euo pipefail
package=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$package")

case "${1:-}" in
  -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  "") echo "stage_data.sh: no DEST folder (try --help)" >&2; exit 2 ;;
  -*) echo "stage_data.sh: unknown option: $1 (try --help)" >&2; exit 2 ;;
esac
[ $# -eq 1 ] || { echo "stage_data.sh: one DEST folder expected, got $# arguments (try --help)" >&2; exit 2; }
dest=$1
if ! command -v rsvg-convert >/dev/null; then
  echo "stage_data.sh: rsvg-convert renders the icons; install Debian's librsvg2-bin (./dev setup does)" >&2
  exit 3
fi

art="$package/art"
listeners="$dest/Library/Activator/Listeners"
switch="$dest/Library/Switches/Lumivo.bundle"
preferences="$dest/Library/PreferenceLoader/Preferences"

mkdir -p "$dest" "$switch"
cp -R "$package/layout/." "$dest/"
install -m 644 "$root/switch/Info.plist" "$switch/Info.plist"

# png SVG POINTS BASE: BASE.png, BASE@2x.png and BASE@3x.png, POINTS square
# at 1, 2 and 3 pixels per point, as the system picks them by screen scale.
png() {
  local scale suffix
  for scale in 1 2 3; do
    suffix=""; [ "$scale" = 1 ] || suffix="@${scale}x"
    rsvg-convert -w $(($2 * scale)) -h $(($2 * scale)) -o "$3$suffix.png" "$1"
    chmod 644 "$3$suffix.png"
  done
}

# The toggle framework draws the glyph's shape at whatever size it shows it.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-0} rsvg-convert -f pdf -o "$switch/glyph.pdf" "$art/glyph.svg"
chmod 644 "$switch/glyph.pdf"
# Each action's icon as the event framework shows an application's: the
# home-screen size (60 points) and the settings-row size (29 points).
for action in up down; do
  folder="$listeners/com.vantorel.brightnesslistener.$action"
  png "$art/$action.svg" 60 "$folder/icon"
  png "$art/$action.svg" 29 "$folder/icon-small"
done
# The settings row of the pane's entry.
png "$art/settings.svg" 29 "$preferences/Lumivo2"
