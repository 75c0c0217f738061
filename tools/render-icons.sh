#!/usr/bin/env bash
# Renders the hand-written icon sources in resources/icons/*.svg to the
# bitmaps the build and the package use, and writes them beside the sources:
#
#   NAME.png, NAME@2x.png        every icon at 32 and 64 pixels (Qt resources;
#                                Qt picks @2x at a device pixel ratio of 2)
#   hicolor/SIZE/kalvor.png      the program icon for the desktop's icon theme
#   kalvor.ico                   the program icon for the Windows executable
#
# The outputs are committed: the Windows build's Qt has no SVG module, and a
# normal build needs neither of the tools below. Run this after editing an
# SVG and commit what changed.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"

# rsvg-convert draws the SVGs; ImageMagick packs the .ico.
tools=(rsvg-convert:librsvg2-bin convert:imagemagick)
missing=()
for t in "${tools[@]}"; do
  command -v "${t%%:*}" >/dev/null || missing+=("${t#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Install these Debian packages and run again: apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

render() {  # SVG SIZE OUT
  rsvg-convert --width "$2" --height "$2" --format png "$1" --output "$3"
}

svgs=(*.svg)
for svg in "${svgs[@]}"; do
  name="${svg%.svg}"
  render "$svg" 32 "$name.png"
  render "$svg" 64 "$name@2x.png"
done

# Sizes of the icon theme and of the .ico. The .ico holds what Windows asks
# for in its lists, task bar and Explorer views; 256 is stored compressed.
theme_sizes=(16 24 32 48 64 128 256)
ico_sizes=(16 24 32 48 64 256)
ico_inputs=()
for s in "${theme_sizes[@]}"; do
  mkdir -p "hicolor/${s}x${s}"
  render kalvor.svg "$s" "hicolor/${s}x${s}/kalvor.png"
done
for s in "${ico_sizes[@]}"; do ico_inputs+=("hicolor/${s}x${s}/kalvor.png"); done
# No time stamps inside, so that an unchanged icon renders to the same bytes.
convert "${ico_inputs[@]}" -define png:exclude-chunks=date,time +set date:create +set date:modify \
  kalvor.ico

echo "rendered ${#svgs[@]} icons into $(pwd)"
