#!/usr/bin/env bash
# Draws the IO port lamps into resources/images/:
#   Green1..Green6    input ports, lit
#   Yellow1 Orange2 Red3   Out1..Out3, lit
#   Gray1..Gray6      any port, off
#   GreenFault GrayFault   fault simulation button, on / off
#
# Each lamp is drawn at 4x (128 px) and box-filtered down to 32 x 32, which
# gives clean anti-aliased edges without depending on any SVG renderer.
# The output is byte-for-byte the same on every run on the same ImageMagick
# version: no timestamps or other ancillary chunks are written.
#
# Needs: ImageMagick 6 or 7 (convert / magick) and the DejaVu Sans Bold font
# (Debian package fonts-dejavu-core).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/images}"
font="${LAMP_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"

if command -v magick >/dev/null 2>&1; then
    im=(magick)
elif command -v convert >/dev/null 2>&1; then
    im=(convert)
else
    echo "make_lamps.sh: ImageMagick (convert or magick) not found" >&2
    exit 1
fi
if [[ ! -r "$font" ]]; then
    echo "make_lamps.sh: font $font not found (install fonts-dejavu-core or set LAMP_FONT)" >&2
    exit 1
fi

mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Working size and the finished size.
S=128
FINAL=32

# Shapes shared by every lamp (drawn once).
#   bezel: metal ring, lit from above
#   seat:  dark groove between ring and lens
#   lens mask, highlight mask
"${im[@]}" -size ${S}x${S} xc:black -fill white -draw "circle 64,64 64,2" \
    "$work/bezel_mask.png"
"${im[@]}" -size ${S}x${S} gradient:'#f4f4f4-#5c5c5c' \
    "$work/bezel_mask.png" -alpha off -compose CopyOpacity -composite \
    "$work/bezel.png"
"${im[@]}" -size ${S}x${S} xc:none -fill '#262626' -draw "circle 64,64 64,10" \
    "$work/seat.png"
"${im[@]}" -size ${S}x${S} xc:black -fill white -draw "circle 64,64 64,13" \
    "$work/lens_mask.png"
# Highlight: an ellipse near the top that fades from semi-white to clear.
"${im[@]}" -size ${S}x${S} xc:black -fill white -draw "ellipse 64,40 34,22 0,360" \
    "$work/hl_shape.png"
"${im[@]}" -size ${S}x${S} gradient:'gray62-black' "$work/hl_shape.png" \
    -compose Multiply -composite "$work/hl_alpha.png"
"${im[@]}" -size ${S}x${S} xc:white "$work/hl_alpha.png" \
    -alpha off -compose CopyOpacity -composite "$work/highlight.png"
# Radial fall-off, centred a little above and left of the middle, used as the
# index into each lamp's colour ramp (white = centre = lightest colour).
"${im[@]}" -size 160x160 radial-gradient:white-black \
    -crop ${S}x${S}+22+26 +repage -colorspace Gray "$work/radial.png"

# lamp NAME LIGHT MID DARK TEXT SHADOW LABEL
lamp() {
    local name=$1 light=$2 mid=$3 dark=$4 text=$5 shadow=$6 label=$7
    # colour ramp: index 0 = edge (dark), last = centre (light)
    "${im[@]}" -size 1x128 gradient:"$mid-$dark" -flip \
        \( -size 1x128 gradient:"$light-$mid" -flip \) -append \
        "$work/ramp.png"
    "${im[@]}" "$work/radial.png" "$work/ramp.png" -clut \
        "$work/lens_mask.png" -alpha off -compose CopyOpacity -composite \
        "$work/lens.png"
    # label with a soft drop shadow so it reads on every colour
    "${im[@]}" -size ${S}x${S} xc:none -font "$font" -pointsize 70 \
        -gravity center -fill "$shadow" -annotate +2+5 "$label" \
        -channel A -blur 0x2.5 +channel "$work/shadow.png"
    "${im[@]}" -size ${S}x${S} xc:none -font "$font" -pointsize 70 \
        -gravity center -fill "$text" -annotate +0+3 "$label" \
        "$work/label.png"
    "${im[@]}" -size ${S}x${S} xc:none \
        "$work/bezel.png" -compose Over -composite \
        "$work/seat.png" -compose Over -composite \
        "$work/lens.png" -compose Over -composite \
        "$work/highlight.png" -compose Over -composite \
        "$work/shadow.png" -compose Over -composite \
        "$work/label.png" -compose Over -composite \
        -filter Box -resize ${FINAL}x${FINAL} \
        -strip -define png:exclude-chunks=date,time,tIME \
        -define png:color-type=6 -define png:bit-depth=8 \
        "PNG32:$out/$name.png"
}

#             light      mid        dark       text       shadow
green=( '#d6ffb8' '#3fc23a' '#0b5a12' '#ffffff' '#00300a' )
yellow=('#fffbd0' '#ffd81a' '#9a6e00' '#3a2600' '#fff6b0' )
orange=('#ffe0b0' '#ff8a12' '#8a3a00' '#ffffff' '#4a1a00' )
red=(   '#ffc8c0' '#e8281c' '#6a0600' '#ffffff' '#3a0000' )
gray=(  '#e8e8e8' '#a6a6a6' '#585858' '#424242' '#f4f4f4' )

for n in 1 2 3 4 5 6; do
    lamp "Green$n" "${green[@]}" "$n"
    lamp "Gray$n" "${gray[@]}" "$n"
done
lamp Yellow1 "${yellow[@]}" 1
lamp Orange2 "${orange[@]}" 2
lamp Red3 "${red[@]}" 3
lamp GreenFault "${green[@]}" '!'
lamp GrayFault "${gray[@]}" '!'

echo "make_lamps.sh: lamps written to $out"
