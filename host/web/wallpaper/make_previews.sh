#!/usr/bin/env bash
# The wallpaper's pictures, drawn by the orvex tool from a settings file (the
# wallpaper's start values):
#
#   make_previews.sh ORVEX_TOOL OUT_DIR SETTINGS [CONVERT]
#
# writes into OUT_DIR
#   preview.gif    360x360, 32 generations at 12.5 frames a second, looping: the
#                  preview of Wallpaper Engine (which takes at most 1 MB) and of Lively
#   thumbnail.jpg  256x256 still, Lively's thumbnail
#   favicon.png    64x64 still, the page's icon
# CONVERT is ImageMagick's convert (default /usr/bin/convert). The clock is held
# (--rng-seed), so the same tool draws the same pictures every time.
set -euo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
    echo "usage: $0 ORVEX_TOOL OUT_DIR SETTINGS [CONVERT]" >&2
    exit 2
fi
tool=$1
out=$2
settings=$3
convert=${4:-/usr/bin/convert}
seed=7
size=360
frames=32
first_step=4      # the seed circles already grown a little in the first frame
delay=8           # hundredths of a second per frame
gif_limit=1048576

if [ ! -x "$tool" ]; then
    echo "make_previews: no orvex tool at $tool; build it first" \
         "(cmake --preset linux-release && cmake --build --preset linux-release --target orvex)" \
         "or point ORVEX_NATIVE_TOOL at one" >&2
    exit 1
fi
if [ ! -x "$convert" ]; then
    echo "make_previews: no ImageMagick convert at $convert" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tool reads ss_ca_02.ini with Patterns2d and Pictures beside it; the
# setting uses a built-in seed and no picture, so the folders stay empty.
cp "$settings" "$work/ss_ca_02.ini"
mkdir -p "$work/Patterns2d" "$work/Pictures" "$out"

render() {  # WIDTH HEIGHT STEPS OUT
    "$tool" render --settings "$work/ss_ca_02.ini" --width "$1" --height "$2" --steps "$3" \
        --rng-seed "$seed" --out "$4" >/dev/null
}

# One render per frame: the field only moves on with --steps.
for ((i = 0; i < frames; i++)); do
    render "$size" "$size" $((first_step + i)) "$(printf '%s/frame-%03d.png' "$work" "$i")"
done
# One shared palette without dithering keeps the frames' differences small.
"$convert" -delay "$delay" -loop 0 "$work"/frame-*.png +dither -colors 128 -layers Optimize \
    "$work/preview.gif"
gif_size=$(stat -c %s "$work/preview.gif")
if [ "$gif_size" -gt "$gif_limit" ]; then
    echo "make_previews: preview.gif is $gif_size bytes, over the 1 MB Wallpaper Engine takes" >&2
    exit 1
fi

render 256 256 $((first_step + 26)) "$work/thumbnail.png"
"$convert" "$work/thumbnail.png" -strip -quality 88 "$work/thumbnail.jpg"
render 64 64 12 "$work/favicon.png"

mv "$work/preview.gif" "$work/thumbnail.jpg" "$work/favicon.png" "$out/"
echo "preview.gif ($gif_size bytes), thumbnail.jpg, favicon.png in $out"
