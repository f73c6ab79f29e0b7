#!/usr/bin/env bash
# Writes the seed corpus of every fuzz target from the sample folder:
#   fuzz/korpus.sh <muster-ordner> <ziel-ordner>
# Each family gets small variants of the samples (small pictures keep the
# executions fast; the fuzzer grows them up to -max_len). ImageMagick's
# convert writes the variants our own coders do not write.
set -euo pipefail
MUSTER=$1
ZIEL=$2
K() { convert "$@" 2>/dev/null || true; }   # a variant the local ImageMagick lacks is left out

klein="$ZIEL/quelle.png"
mkdir -p "$ZIEL"
K "$MUSTER/testbild.png" -resize 24x16! "$klein"

familie() { mkdir -p "$ZIEL/$1"; echo "$ZIEL/$1"; }

# BMP: 24 bit, palettes of 2, 16 and 256 colours, RLE4/RLE8, the V3 and V5 headers.
d=$(familie fuzz_laden_bmp)
K "$klein" bmp3:"$d/rgb24.bmp"
K "$klein" bmp:"$d/rgb24v5.bmp"
K "$klein" -type Palette -colors 200 bmp3:"$d/pal8.bmp"
K "$klein" -type Palette -colors 200 -compress RLE bmp3:"$d/rle8.bmp"
K "$klein" -type Palette -colors 12 -compress RLE bmp3:"$d/rle4.bmp"
K "$klein" -type Palette -colors 12 bmp3:"$d/pal4.bmp"
K "$klein" -monochrome bmp3:"$d/mono.bmp"
K "$klein" -define bmp:subtype=RGB565 bmp:"$d/rgb16.bmp"
K "$klein" -alpha set bmp:"$d/rgba32.bmp"

# JPEG: baseline, progressive, grey, subsampled, restart markers, comment, EXIF.
d=$(familie fuzz_laden_jpeg)
K "$klein" -quality 80 "$d/basis.jpg"
K "$klein" -interlace JPEG "$d/progressiv.jpg"
K "$klein" -colorspace Gray "$d/grau.jpg"
K "$klein" -sampling-factor 2x2 -define jpeg:restart-interval=1 "$d/restart.jpg"
K "$klein" -set comment "Kommentar" "$d/kommentar.jpg"
K "$klein" -colorspace CMYK "$d/cmyk.jpg"
cp "$MUSTER/testbild.jpg" "$d/muster.jpg"

# PNG: the samples, interlaced, alpha, 16 bit, grey.
d=$(familie fuzz_laden_png)
cp "$MUSTER/mono1.png" "$MUSTER/palette8.png" "$d/"
cp "$klein" "$d/rgb.png"
K "$klein" -interlace PNG "$d/interlaced.png"
K "$klein" -alpha set -channel A -evaluate set 50% png32:"$d/rgba.png"
K "$klein" -depth 16 png48:"$d/rgb16.png"
K "$klein" -colorspace Gray png8:"$d/grau.png"
K "$klein" -type Palette -transparent white png8:"$d/trns.png"

# GIF: still, interlaced, transparent, two frames.
d=$(familie fuzz_laden_gif)
K "$klein" "$d/bild.gif"
K "$klein" -interlace GIF "$d/interlaced.gif"
K "$klein" -transparent white "$d/transparent.gif"
K -delay 10 "$klein" \( "$klein" -negate \) -loop 0 "$d/zwei.gif"

# TIFF: the three-page sample, LZW, PackBits, Group 4, JPEG, tiles, 16 bit, palette.
d=$(familie fuzz_laden_tiff)
cp "$MUSTER/dreiseiten.tif" "$d/"
K "$klein" -compress LZW "$d/lzw.tif"
K "$klein" -compress RLE "$d/packbits.tif"
K "$klein" -monochrome -compress Group4 "$d/g4.tif"
K "$klein" -monochrome -compress Fax "$d/g3.tif"
K "$klein" -compress JPEG "$d/jpeg.tif"
K "$klein" -define tiff:tile-geometry=16x16 "$d/kacheln.tif"
K "$klein" -depth 16 "$d/rgb16.tif"
K "$klein" -type Palette -colors 30 "$d/palette.tif"
K "$klein" -orient BottomRight "$d/gedreht.tif"

# TGA: no signature, so the extension leads; raw and RLE, true colour,
# palette and grey, both origins.
d=$(familie fuzz_laden_tga)
K "$klein" -compress None "$d/roh.tga"
K "$klein" -compress RLE "$d/rle.tga"
K "$klein" -type Palette -colors 40 -compress None "$d/palette.tga"
K "$klein" -type Palette -colors 40 -compress RLE "$d/palette_rle.tga"
K "$klein" -colorspace Gray -compress RLE "$d/grau.tga"
K "$klein" -alpha set -orient TopLeft "$d/oben.tga"

# Formats the general coder reads (the .pcx extension is the hint).
d=$(familie fuzz_laden_magick)
K "$klein" "$d/bild.pcx"
K "$klein" -type Palette -colors 16 "$d/pal16.pcx"
K "$klein" ppm:"$d/bild.ppm"
K "$klein" pgm:"$d/bild.pgm"
K "$klein" -monochrome xbm:"$d/bild.xbm"
K "$klein" sun:"$d/bild.ras"
K "$klein" sgi:"$d/bild.sgi"
K "$klein" dcx:"$d/bild.dcx"
K "$klein" psd:"$d/bild.psd"
K "$klein" xpm:"$d/bild.xpm"
K "$klein" xwd:"$d/bild.xwd"
K "$klein" pict:"$d/bild.pct"

# Icons: read by their own reader, on the background colour.
d=$(familie fuzz_laden_ico)
K "$klein" -define icon:auto-resize=16 "$d/bild.ico"
K "$klein" -alpha set -channel A -evaluate set 50% -define icon:auto-resize=16,24 "$d/alpha.ico"
K "$klein" -type Palette -colors 16 -define icon:auto-resize=16 "$d/palette.ico"
K "$klein" -resize 32x32! -define icon:format=png "$d/png.ico"

# GEM IMG and MS Paint (versions 1 and 2) from netpbm and Pillow; IFF also
# from netpbm's writer, packed. The program's own writers add IFF, CLP, raw
# fax, Brooktrout, XPM, IOCA and lossless JPEG (fuzz_saat, run by lauf.sh).
K "$klein" -monochrome pbm:"$ZIEL/sw.pbm"
if [ -f "$ZIEL/sw.pbm" ]; then
  d=$(familie fuzz_laden_img)
  pbmtogem "$ZIEL/sw.pbm" > "$d/sw.img" 2>/dev/null || rm -f "$d/sw.img"
  d=$(familie fuzz_laden_msp)
  /usr/bin/python3 - "$ZIEL/sw.pbm" "$d" <<'PY' 2>/dev/null || true
import sys
from PIL import Image
v1 = sys.argv[2] + "/v1.msp"
Image.open(sys.argv[1]).save(v1, "MSP")
b = open(v1, "rb").read()
w, h = int.from_bytes(b[4:6], "little"), int.from_bytes(b[6:8], "little")
zb = (w + 7) // 8
zeilen, tabelle = b"", b""
for y in range(h):
    roh = b[32 + y * zb:32 + (y + 1) * zb]
    z = bytes([0, zb, roh[0]]) if y % 2 else bytes([zb]) + roh
    tabelle += len(z).to_bytes(2, "little")
    zeilen += z
open(sys.argv[2] + "/v2.msp", "wb").write(b"LinS" + b[4:32] + tabelle + zeilen)
PY
  rm -f "$ZIEL/sw.pbm"
fi
d=$(familie fuzz_laden_iff)
K "$klein" ppm:- | ppmtoilbm -compress 2>/dev/null > "$d/netpbm.iff" || rm -f "$d/netpbm.iff"

# Comment writer and lossless transform: JPEGs, after one selector byte.
jpegs=("$ZIEL/fuzz_laden_jpeg"/*.jpg)
for z in fuzz_kommentar fuzz_drehen; do
  d=$(familie $z)
  i=0
  for f in "${jpegs[@]}"; do
    { printf "\\x$(printf %02x $((i * 37 % 256)))"; cat "$f"; } > "$d/$(basename "$f")"
    i=$((i + 1))
  done
done
# Comments between scans and in front of the end of image.
d="$ZIEL/fuzz_kommentar"
python3 - "$ZIEL/fuzz_laden_jpeg/progressiv.jpg" "$d/zwischen_scans.jpg" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
com = b'\xff\xfe\x00\x07alt1'
i = b.find(b'\xff\xda', b.find(b'\xff\xda') + 2)
b = b[:i] + com + b[i:] if i > 0 else b
b = b[:-2] + b'\xff\xfe\x00\x06end' + b[-2:]
open(sys.argv[2], 'wb').write(b'\x01' + b)
PY

# EXIF summary: JPEG with EXIF, TIFF, PNG with eXIf, selector byte first.
d=$(familie fuzz_exif)
K "$klein" "$ZIEL/exif.jpg"
if [ -f "$ZIEL/exif.jpg" ] && command -v exiv2 >/dev/null; then
  exiv2 -M"set Exif.Image.Make Zelvano" -M"set Exif.Image.Model Muster" \
        -M"set Exif.Photo.DateTimeOriginal 2020:01:02 03:04:05" -M"set Exif.Image.Orientation 6" \
        -M"set Exif.Photo.UserComment charset=Unicode Grüße" "$ZIEL/exif.jpg" 2>/dev/null || true
fi
i=0
for f in "$ZIEL/exif.jpg" "$MUSTER/testbild.jpg" "$MUSTER/testbild.png" "$ZIEL/fuzz_laden_tiff/lzw.tif" \
         "$ZIEL/fuzz_laden_jpeg/kommentar.jpg"; do
  [ -f "$f" ] || continue
  { printf "\\x0$i"; cat "$f"; } > "$d/$i-$(basename "$f")"
  i=$((i + 1))
done
rm -f "$ZIEL/exif.jpg" "$klein"
