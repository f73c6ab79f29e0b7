#!/usr/bin/env bash
# Sets the display's reduction and density against the tools a user would
# pick instead, in one run on one generated 6000 x 4000 24-bit picture:
#   bench/compare.sh [builddir]
# Reduction 6000 x 4000 -> 1920 x 1280 by box averaging: ours, Pillow
# (Image.resize BOX), libvips (shrink = box, reduce = linear kernel; the time
# libvips reports for the pipeline, one thread and all) and ImageMagick
# (convert -filter Box -resize; wall time less the same command without the
# resize). Density: ours, Pillow (Image.point with a table), libvips (maplut).
# Each peer is printed as its time divided by ours: above 1 means we are faster.
# Then the main road: the main window showing five 6000 x 4000 JPEGs against a
# plain TurboJPEG decode of each in the same run (ours divided by the decode:
# at most 1.3 in the median and 1.6 for every file is the aim).
set -euo pipefail
skripte="$(cd "$(dirname "$0")" && pwd)"

# The script works in a folder of its own below, so the build folder is made
# absolute first: "bench/compare.sh build" from the source folder must work.
build="${1:-build}"
[ -d "$build" ] || { echo "Build-Ordner fehlt: $build (erst bauen)" >&2; exit 1; }
build="$(cd "$build" && pwd)"
bench="$build/bench/bench_anzeige"
hauptweg="$build/bench/bench_hauptweg"
for programm in "$bench" "$hauptweg"; do
  [ -x "$programm" ] || { echo "fehlt: $programm (erst bauen)" >&2; exit 1; }
done
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3
CONVERT=/usr/bin/convert
[ -x "$CONVERT" ] || CONVERT=convert

basis=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && basis=/dev/shm
arbeit="$(mktemp -d "$basis/zelvano-vergleich-XXXXXX")"
trap 'rm -rf "$arbeit"' EXIT
cd "$arbeit"

# The picture: gradients with noise, as the benchmark program makes it.
"$PY" - <<'EOF'
import numpy as np
from PIL import Image
h, w = 4000, 6000
rng = np.random.default_rng(42)
x = np.arange(w)[None, :]
y = np.arange(h)[:, None]
n = rng.integers(0, 1 << 12, (h, w))
a = np.empty((h, w, 3), np.uint8)
a[..., 0] = (x * 255 // w + (n & 15)) & 255
a[..., 1] = (y * 255 // h + ((n >> 4) & 15)) & 255
a[..., 2] = ((x + y) * 127 // (w + h) + ((n >> 8) & 31)) & 255
Image.fromarray(a, "RGB").save("bild.ppm")
# The density curve of amount 20 (k = 51) as a 256 x 1 table for libvips.
k = 51
t = np.array([min(255, max(0, v + ((255 - v) * k) // 255)) for v in range(256)], np.uint8)
Image.fromarray(np.repeat(t[None, :, None], 3, axis=2), "RGB").save("lut.ppm")
EOF
vips copy bild.ppm bild.v
vips copy lut.ppm lut.v

# Ours.
# A failing program shows its own messages instead of ending the script
# without a word.
laufen() {
  local log="$1"
  shift
  "$@" 2>"$log" || { echo "fehlgeschlagen: $*" >&2; cat "$log" >&2; exit 1; }
}
laufen ours.log env ZELVANO_BENCH_BILD="$arbeit/bild.ppm" "$bench" \
  --benchmark_filter='BM_(Verkleinern|Dichte|Kopie)' --benchmark_min_time=1 --benchmark_format=json >ours.json
laufen hauptweg.log "$hauptweg" --benchmark_format=json >hauptweg.json

# Pillow, in-process, best of several runs.
"$PY" - >pillow.txt <<'EOF'
import time
from PIL import Image
im = Image.open("bild.ppm"); im.load()
def best(f, n=5):
    t = []
    for _ in range(n):
        s = time.perf_counter(); f(); t.append(time.perf_counter() - s)
    return min(t) * 1000
k = 51
lut = [min(255, max(0, v + ((255 - v) * k) // 255)) for v in range(256)] * 3
print("resize", best(lambda: im.resize((1920, 1280), Image.BOX)))
print("point", best(lambda: im.point(lut)))
EOF

# libvips: the pipeline time it reports itself, best of three.
vips_ms() {
  local best=""
  for _ in 1 2 3; do
    local s
    s=$("$@" --vips-progress 2>&1 | tr '\r' '\n' | sed -n 's/.*done in \([0-9.]*\)s.*/\1/p' | tail -1)
    [ -n "$s" ] || continue
    if [ -z "$best" ] || awk "BEGIN{exit !($s < $best)}"; then best=$s; fi
  done
  awk "BEGIN{printf \"%.1f\", ${best:-0} * 1000}"
}
alle=$(nproc)
{
  echo "shrink1 $(vips_ms vips shrink bild.v out.v 3.125 3.125 --vips-concurrency=1)"
  echo "shrinkN $(vips_ms vips shrink bild.v out.v 3.125 3.125 --vips-concurrency="$alle")"
  echo "reduce1 $(vips_ms vips reduce bild.v out.v 3.125 3.125 --kernel linear --vips-concurrency=1)"
  echo "reduceN $(vips_ms vips reduce bild.v out.v 3.125 3.125 --kernel linear --vips-concurrency="$alle")"
  echo "maplut1 $(vips_ms vips maplut bild.v out.v lut.v --vips-concurrency=1)"
  echo "maplutN $(vips_ms vips maplut bild.v out.v lut.v --vips-concurrency="$alle")"
} >vips.txt

# ImageMagick: wall time with the resize less wall time without it.
wand_ms() {
  local best=""
  for _ in 1 2 3; do
    local s e
    s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N)
    local d=$(( (e - s) / 1000 ))
    if [ -z "$best" ] || [ "$d" -lt "$best" ]; then best=$d; fi
  done
  echo "$best"
}
{
  leer1=$(wand_ms "$CONVERT" -limit thread 1 bild.ppm null:)
  box1=$(wand_ms "$CONVERT" -limit thread 1 bild.ppm -filter Box -resize '1920x1280!' null:)
  leerN=$(wand_ms "$CONVERT" bild.ppm null:)
  boxN=$(wand_ms "$CONVERT" bild.ppm -filter Box -resize '1920x1280!' null:)
  echo "box1 $(awk "BEGIN{printf \"%.1f\", ($box1 - $leer1) / 1000}")"
  echo "boxN $(awk "BEGIN{printf \"%.1f\", ($boxN - $leerN) / 1000}")"
} >magick.txt

"$PY" - "$alle" <<'EOF'
import json, sys
alle = sys.argv[1]
ours = {}
for b in json.load(open("ours.json"))["benchmarks"]:
    ours[b["name"].split("/real_time")[0]] = b["real_time"]
def datei(n):
    return {z.split()[0]: float(z.split()[1]) for z in open(n) if z.strip()}
pil, vips, im = datei("pillow.txt"), datei("vips.txt"), datei("magick.txt")
v1, vn = ours["BM_Verkleinern/1"], ours["BM_Verkleinern/0"]
d1, dn = ours["BM_Dichte/1"], ours["BM_Dichte/0"]
kopie = ours["BM_Kopie"]
zeilen = [
    ("Verkleinern 6000x4000 -> 1920x1280", None, None, None),
    ("  Zelvano, 1 Thread", v1, v1, None),
    (f"  Zelvano, {alle} Threads", vn, vn, None),
    ("  Pillow BOX (1 Thread) / Zelvano 1", pil["resize"], v1, None),
    (f"  Pillow BOX (1 Thread) / Zelvano {alle}", pil["resize"], vn, "Ziel >= 8"),
    ("  vips shrink, 1 Thread", vips["shrink1"], v1, None),
    (f"  vips shrink, {alle} Threads", vips["shrinkN"], vn, None),
    ("  vips reduce linear, 1 Thread", vips["reduce1"], v1, None),
    (f"  vips reduce linear, {alle} Threads", vips["reduceN"], vn, None),
    ("  ImageMagick Box, 1 Thread", im["box1"], v1, None),
    (f"  ImageMagick Box, {alle} Threads", im["boxN"], vn, None),
    ("Dichte 6000x4000", None, None, None),
    ("  Zelvano, 1 Thread", d1, d1, None),
    (f"  Zelvano, {alle} Threads", dn, dn, None),
    ("  Speicherkopie (memcpy) / Zelvano 1", kopie, d1, None),
    (f"  Speicherkopie (memcpy) / Zelvano {alle}", kopie, dn, "Ziel >= 0.25"),
    ("  Pillow point / Zelvano 1", pil["point"], d1, None),
    (f"  Pillow point / Zelvano {alle}", pil["point"], dn, None),
    ("  vips maplut, 1 Thread", vips["maplut1"], d1, None),
    (f"  vips maplut, {alle} Threads", vips["maplutN"], dn, None),
]
print(f"{'':46} {'ms':>9} {'Verhältnis':>11}")
for name, zeit, unsere, ziel in zeilen:
    if zeit is None:
        print(name)
        continue
    if zeit is unsere:
        print(f"{name:46} {zeit:9.1f}")
    else:
        print(f"{name:46} {zeit:9.1f} {zeit / unsere:10.2f}x" + (f"  ({ziel})" if ziel else ""))
EOF

"$PY" - <<'EOF'
import json, statistics
laeufe = [b for b in json.load(open("hauptweg.json"))["benchmarks"] if "verhaeltnis" in b]
if laeufe:
    print()
    print("Hauptweg: BildAnzeigen bis zur eingepassten Anzeige / TurboJPEG (lesen + dekodieren)")
    print(f"{'':16} {'MB':>6} {'Zelvano ms':>11} {'TurboJPEG ms':>13} {'Verhältnis':>11} {'erster':>7}")
    for b in laeufe:
        print(f"  {b.get('label', b['name']):14} {b['groesse_mb']:6.1f} {b['zelvano_ms']:11.1f} "
              f"{b['turbojpeg_ms']:13.1f} {b['verhaeltnis']:10.2f}x {b.get('verhaeltnis_erste', 0):6.2f}x")
    v = [b["verhaeltnis"] for b in laeufe]
    print(f"  Median {statistics.median(v):.2f}x (Ziel <= 1.3), schlechteste Datei {max(v):.2f}x (Ziel <= 1.6)")
EOF

# ---- Editing: resampling, blur and sharpen --------------------------------
# Lanczos3 6000 x 4000 -> 1500 x 1000: ours, Pillow (resize LANCZOS), libvips
# (reduce, kernel lanczos3). Blur at amount 50 (a triangle of half-width 13.5,
# standard deviation 13.5 / sqrt(6) = 5.5): Pillow GaussianBlur(5.5), libvips
# gaussblur 5.5. Sharpen (the resize dialog's "Stark"): Pillow's SHARPEN
# filter, libvips conv with a five-point cross. Same picture as above.
bearbeiten="$build/bench/bench_bearbeiten"
case "$bearbeiten" in /*) ;; *) bearbeiten="$OLDPWD/$bearbeiten" ;; esac
if [ -x "$bearbeiten" ]; then
  ZELVANO_BENCH_BILD="$arbeit/bild.ppm" "$bearbeiten" --benchmark_filter='BM_(Skalieren|Weichzeichnen|Schaerfen)/' \
    --benchmark_min_time=1 --benchmark_format=json >ours_bearbeiten.json 2>/dev/null

  "$PY" - >pillow_bearbeiten.txt <<'PYEOF'
import time
from PIL import Image, ImageFilter
im = Image.open("bild.ppm"); im.load()
def best(f, n=3):
    t = []
    for _ in range(n):
        s = time.perf_counter(); f(); t.append(time.perf_counter() - s)
    return min(t) * 1000
print("lanczos", best(lambda: im.resize((1500, 1000), Image.LANCZOS)))
print("gauss", best(lambda: im.filter(ImageFilter.GaussianBlur(5.5))))
print("sharpen", best(lambda: im.filter(ImageFilter.SHARPEN)))
PYEOF

  printf '3 3 5 0\n0 -1 0\n-1 9 -1\n0 -1 0\n' >kreuz.mat
  {
    echo "lanczos1 $(vips_ms vips reduce bild.v out.v 4 4 --kernel lanczos3 --vips-concurrency=1)"
    echo "lanczosN $(vips_ms vips reduce bild.v out.v 4 4 --kernel lanczos3 --vips-concurrency="$alle")"
    echo "gauss1 $(vips_ms vips gaussblur bild.v out.v 5.5 --vips-concurrency=1)"
    echo "gaussN $(vips_ms vips gaussblur bild.v out.v 5.5 --vips-concurrency="$alle")"
    echo "conv1 $(vips_ms vips conv bild.v out.v kreuz.mat --precision integer --vips-concurrency=1)"
    echo "convN $(vips_ms vips conv bild.v out.v kreuz.mat --precision integer --vips-concurrency="$alle")"
  } >vips_bearbeiten.txt

  "$PY" - "$alle" <<'PYEOF'
import json, sys
alle = sys.argv[1]
ours = {b["name"].split("/real_time")[0]: b["real_time"] for b in json.load(open("ours_bearbeiten.json"))["benchmarks"]}
def datei(n):
    return {z.split()[0]: float(z.split()[1]) for z in open(n) if z.strip()}
pil, vips = datei("pillow_bearbeiten.txt"), datei("vips_bearbeiten.txt")
def block(titel, name, zeilen):
    eins, alle_t = ours[name + "/1"], ours[name + "/0"]
    print(titel)
    print(f"{'  Zelvano, 1 Thread':46} {eins:9.1f}")
    print(f"{'  Zelvano, ' + alle + ' Threads':46} {alle_t:9.1f}")
    for text, zeit, n, ziel in zeilen:
        unsere = eins if n == 1 else alle_t
        print(f"{text:46} {zeit:9.1f} {zeit / unsere:10.2f}x" + (f"  ({ziel})" if ziel else ""))
print()
print(f"{'':46} {'ms':>9} {'Verhältnis':>11}")
block("Skalieren Lanczos3 6000x4000 -> 1500x1000", "BM_Skalieren", [
    ("  Pillow LANCZOS (1 Thread) / Zelvano 1", pil["lanczos"], 1, "Ziel >= 1"),
    (f"  Pillow LANCZOS (1 Thread) / Zelvano {alle}", pil["lanczos"], 0, "Ziel >= 8"),
    ("  vips reduce lanczos3, 1 Thread", vips["lanczos1"], 1, None),
    (f"  vips reduce lanczos3, {alle} Threads", vips["lanczosN"], 0, None)])
block("Weichzeichnen 50 (6000x4000)", "BM_Weichzeichnen", [
    ("  Pillow GaussianBlur 5.5 / Zelvano 1", pil["gauss"], 1, None),
    (f"  Pillow GaussianBlur 5.5 / Zelvano {alle}", pil["gauss"], 0, "Ziel >= 5"),
    ("  vips gaussblur 5.5, 1 Thread", vips["gauss1"], 1, None),
    (f"  vips gaussblur 5.5, {alle} Threads", vips["gaussN"], 0, None)])
block("Schärfen 36 (6000x4000)", "BM_Schaerfen", [
    ("  Pillow SHARPEN / Zelvano 1", pil["sharpen"], 1, None),
    (f"  Pillow SHARPEN / Zelvano {alle}", pil["sharpen"], 0, None),
    ("  vips conv Kreuz, 1 Thread", vips["conv1"], 1, None),
    (f"  vips conv Kreuz, {alle} Threads", vips["convN"], 0, None)])
PYEOF
fi

# Thumbnails of a folder of large JPEGs.
echo
bash "$skripte/compare_vorschau.sh" "$build"
