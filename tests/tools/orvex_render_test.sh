#!/usr/bin/env bash
# `orvex render` as a user runs it: pictures written, bad arguments refused.
set -u
orvex=$1
source "$(dirname "$0")/cli_checks.sh"
png_size() {  # prints "W H" of a PNG file
    python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); assert d[:8]==b"\x89PNG\r\n\x1a\n"; print(*struct.unpack(">II", d[16:24]))' "$1"
}
expect_size() {  # name, file, "W H"
    if [ "$(png_size "$2" 2>/dev/null)" = "$3" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: $2 is not a $3 PNG"; fi
}

# A saver folder: Generations quads with a picture that cycles between two files.
mkdir -p "$tmp/saver/Pictures" "$tmp/saver/Patterns2d"
printf '1020\r\n1028\r\n1\r\n0\r\n0\r\n1\r\n100\r\n0\r\n0\r\n1046\r\n0\r\n1\r\n1\r\n1049\r\n10\r\nnone\r\nsky\r\n' >"$tmp/saver/ss_ca_02.ini"
python3 - "$tmp/saver/Pictures" <<'PY'
import struct, sys
for name, colour in (("sky", (200, 120, 40)), ("sea", (40, 90, 200))):
    w = h = 8
    data = bytes(colour[::-1]) * (w * h)
    head = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    head += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0)
    open(f"{sys.argv[1]}/{name}.bmp", "wb").write(head + data)
PY

check "render one frame" 0 "$orvex" render --settings "$tmp/saver/ss_ca_02.ini" --width 640 --height 480 --steps 3 --out "$tmp/one.png"
expect_size "one frame" "$tmp/one.png" "640 480"
check "render every frame" 0 "$orvex" render --width 64 --height 48 --frames 3 --out "$tmp/f-%03d.png"
for f in 1 2 3; do expect_size "frame $f" "$tmp/f-00$f.png" "64 48"; done
[ -e "$tmp/f-004.png" ] && { failed=$((failed + 1)); echo "FAIL a fourth frame"; } || passed=$((passed + 1))

# Pictures of every format show their four quarters upright, in their colours,
# on a block in each quarter of the field; a damaged JPEG gives one message
# naming it, and the frame is drawn without a picture.
pictures=$(dirname "$0")/make_test_pictures.py
mkdir -p "$tmp/formats/Patterns2d"
python3 "$pictures" "$tmp/formats/Pictures" || { failed=$((failed + 1)); echo "FAIL making the test pictures"; }
printf '#Life 1.05\n#D quarters\n#N\n#P -25 -20\n**\n**\n#P 25 -20\n**\n**\n#P -25 18\n**\n**\n#P 25 18\n**\n**\n' \
    >"$tmp/formats/Patterns2d/quad.lif"
for picture in rgb8.png rgb16.png palette.png v5 v4rle base.jpg progressive.jpg exif6.jpg --none-- damaged.jpg; do
    printf '1020\r\n1028\r\n0\r\n4\r\n7\r\n1\r\n100\r\n0\r\n0\r\n1045\r\n0\r\n1\r\n0\r\n1049\r\n10\r\nquad\r\n%s\r\n' \
        "$picture" >"$tmp/formats/ss_ca_02.ini"
    check "render $picture" 0 "$orvex" render --settings "$tmp/formats/ss_ca_02.ini" --width 640 --height 480 \
        --out "$tmp/formats/frame.png"
    case $picture in
        --none--) cp "$tmp/formats/frame.png" "$tmp/formats/plain.png" ;;
        damaged.jpg) cmp -s "$tmp/formats/frame.png" "$tmp/formats/plain.png" && passed=$((passed + 1)) ||
            { failed=$((failed + 1)); echo "FAIL damaged.jpg: the frame is not the one without a picture"; } ;;
        *) seen=$(python3 "$pictures" --quarters "$tmp/formats/frame.png")
            [ "$seen" = "red green blue yellow" ] && passed=$((passed + 1)) ||
                { failed=$((failed + 1)); echo "FAIL $picture shows $seen"; } ;;
    esac
done
if [ "$(grep -c . "$tmp/err")" = 1 ] && grep -q "Error: damaged.jpg: Image file conversion error." "$tmp/err"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1)); echo "FAIL damaged.jpg: one message naming it"; cat "$tmp/err"
fi

# The OpenGL ES renderer through EGL draws the frame the OpenGL 1.1 one draws
# (the seed, the lights and the picture held by --rng-seed), with the same field.
for r in gl11 gles3; do
    check "render $r" 0 "$orvex" render --settings "$tmp/saver/ss_ca_02.ini" --renderer $r --rng-seed 1700000000 \
        --width 320 --height 240 --steps 5 --frames 3 --out "$tmp/$r.png"
    cp "$tmp/out" "$tmp/$r.out"
done
expect_size "gles3 frame" "$tmp/gles3.png" "320 240"
[ "$(cut -d, -f1 "$tmp/gl11.out")" = "$(cut -d, -f1 "$tmp/gles3.out")" ] && grep -q population "$tmp/gl11.out" && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAIL the renderers ran different fields"; cat "$tmp/gl11.out" "$tmp/gles3.out"; }
for r in gl11 gles3; do convert "$tmp/$r.png" -depth 8 "rgb:$tmp/$r.rgb"; done
alike=$(python3 - "$tmp/gl11.rgb" "$tmp/gles3.rgb" <<'PY'
import sys
a, b = (open(name, "rb").read() for name in sys.argv[1:3])
lit = sum(1 for k in range(0, len(a), 3) if max(a[k:k + 3]) > 40)
mean = sum(abs(x - y) for x, y in zip(a, b)) / max(len(a), 1)
print("yes" if len(a) == len(b) == 320 * 240 * 3 and lit > 500 and mean <= 0.5 else f"no: lit {lit}, mean {mean:.3f}")
PY
)
[ "$alike" = yes ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL gles3 against gl11: $alike"; }
check "unknown renderer" 2 "$orvex" render --renderer gl99 --out "$tmp/x.png"

check "zero width" 2 "$orvex" render --width 0 --out "$tmp/x.png"
check "steps not a number" 2 "$orvex" render --steps many --out "$tmp/x.png"
check "two number fields" 2 "$orvex" render --out "$tmp/%d-%d.png"
check "text field" 2 "$orvex" render --out "$tmp/%s.png"
check "missing settings" 2 "$orvex" render --settings "$tmp/none.ini"
check "unwritable output" 1 "$orvex" render --width 32 --height 32 --out "$tmp/no/such/folder/x.png"
grep -q "no/such/folder" "$tmp/err" && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL message names the file"; }

cli_summary
