#!/usr/bin/env bash
# Batch conversion of 100 generated 4000 x 3000 photo-like JPEGs (gradients
# with noise, quality 90) to PNG inside a 1024 x 1024 box, in one run:
#   bench/compare_konvertieren.sh [builddir] [count]
# Ours: the conversion window's run (Lanczos3 and light sharpening, EXIF,
# comment and date steps included). Peers over the same files: ImageMagick
# (mogrify -resize, one process) and libvips (vips thumbnail, one process
# per file, as a shell loop runs it). The ratio is the peer's time divided
# by ours: above 1 means we are faster.
set -euo pipefail

build="${1:-build}"
anzahl="${2:-100}"
bench="$build/bench/bench_konvertieren"
[ -x "$bench" ] || { echo "fehlt: $bench (erst bauen)" >&2; exit 1; }

arbeit="$(mktemp -d "${TMPDIR:-/tmp}/zelvano-konvert-XXXXXX")"
trap 'rm -rf "$arbeit"' EXIT
mkdir -p "$arbeit/bilder" "$arbeit/magick" "$arbeit/vips"

export ZELVANO_KONVERT_ORDNER="$arbeit/bilder" ZELVANO_KONVERT_ANZAHL="$anzahl"
# The first run makes the files; the second one is timed with them cached.
"$bench" >/dev/null 2>&1
"$bench" --benchmark_format=json >"$arbeit/ours.json" 2>/dev/null

sekunden() { awk "BEGIN{printf \"%.2f\", ($2 - $1) / 1e9}"; }
s=$(date +%s%N)
mogrify -path "$arbeit/magick" -format png -resize 1024x1024 "$arbeit"/bilder/*.jpg
e=$(date +%s%N)
magick=$(sekunden "$s" "$e")
s=$(date +%s%N)
for f in "$arbeit"/bilder/*.jpg; do
  vips thumbnail "$f" "$arbeit/vips/$(basename "${f%.jpg}").png" 1024
done
e=$(date +%s%N)
vips=$(sekunden "$s" "$e")

/usr/bin/python3 - "$arbeit/ours.json" "$anzahl" "$magick" "$vips" <<'PYEOF'
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
ours = b["real_time"] / 1000
n, magick, vips = int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
print(f"Konvertieren {n} JPEG 4000x3000 -> PNG 1024x768   {'s':>7} {'Verhältnis':>11}")
print(f"{'  Zelvano':48} {ours:7.2f}")
print(f"{'  ImageMagick mogrify -resize':48} {magick:7.2f} {magick / ours:10.2f}x")
print(f"{'  vips thumbnail':48} {vips:7.2f} {vips / ours:10.2f}x")
PYEOF
