#!/usr/bin/env bash
# Renders every generated sprite set and image list, scaled 2x on dark grey with labels, into
# BUILD_DIR/contact_sheet.png (needs ImageMagick). Usage: scripts/contact_sheet.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: contact_sheet.sh BUILD_DIR}
bmp="$build/run/bmp"
[ -d "$bmp" ] || { echo "no $bmp: build the assets target first" >&2; exit 1; }
command -v convert >/dev/null && command -v montage >/dev/null || { echo "needs ImageMagick (convert, montage)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bg='#3a3a3a'

# Scales one picture 2x with hard pixels; the montage label is its name.
scaled() {
  local src=$1 label=$2
  convert "$src" -scale 200% -set label "$label" "$tmp/$label.png"
  echo "$tmp/$label.png"
}

# One labelled row of tiles under a heading.
group() {
  local out=$1 title=$2; shift 2
  montage -background "$bg" -fill '#d0d0d0' -pointsize 11 -geometry +5+5 -tile "${TILE:-16}x" "$@" "$tmp/body.png"
  convert "$tmp/body.png" -background "$bg" -fill '#ffd060' -pointsize 14 -gravity northwest \
    -splice 0x22 -annotate +6+3 "$title" "$out"
}

# Files base_first .. base_last, labelled with their image index.
series() {
  local size=$1 first=$2 last=$3
  for i in $(seq -f '%02g' "$first" "$last"); do scaled "$bmp/${size}_$i.bmp" "${size}_$i"; done
}

# Tiles of a horizontal strip, labelled with their index.
strip() {
  local name=$1 w=$2 h=$3
  convert "$bmp/$name.bmp" -crop "${w}x${h}" +repage "$tmp/${name}_tile_%02d.bmp"
  local i=0
  for f in "$tmp/${name}"_tile_*.bmp; do
    scaled "$f" "$i" >/dev/null
    mv "$tmp/$i.png" "$tmp/${name}_$i.png"
    echo "$tmp/${name}_$i.png"
    i=$((i + 1))
  done
}

parts=()
add() { parts+=("$tmp/part${#parts[@]}.png"); group "${parts[-1]}" "$@"; }

TILE=8 add "IL96 explosion 0..15" $(series 96 0 15)
TILE=10 add "IL80 shot 0..2, ship banks 3..9 (hard left .. hard right)" $(series 80 0 9)
TILE=8 add "IL80 bonus enemy spin 10..17" $(series 80 10 17)
TILE=8 add "IL80 shooter enemy spin 18..25" $(series 80 18 25)
TILE=11 add "IL24 bullet 0..3, smoke puff 4..10" $(series 24 0 10)
TILE=20 add "Font0 glyphs 0..38" $(strip Font0 16 16)
TILE=10 add "Font2 digits" $(strip Font2 16 16)
TILE=6 add "Spa8 sparks" $(strip Spa8 10 10)
TILE=4 add "ISC labels" $(strip ISC 75 17)
TILE=2 add "ILT logo, icon" "$(scaled "$bmp/ILT.bmp" ILT)" "$(scaled "$bmp/icon.bmp" icon)"

convert -background "$bg" "${parts[@]}" -gravity northwest -append "$build/contact_sheet.png"
echo "$build/contact_sheet.png"
