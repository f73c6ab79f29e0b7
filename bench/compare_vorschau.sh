#!/usr/bin/env bash
# Thumbnails of a folder of 500 generated 4000 x 3000 photo-like JPEGs
# (gradients with noise, quality 90) at size 150, in one run:
#   bench/compare_vorschau.sh [builddir] [count]
# Ours: the decoding ahead on one thread and on all, and the thumbnail window
# from showing to the last thumbnail (with the time to its first row).
# Peers over the same files: Pillow (draft + thumbnail) on one core and in a
# pool of processes on all, and vipsthumbnail (one process, its own threads,
# writing small JPEGs). Rates are thumbnails per second; the ratio is ours
# (all threads) divided by the peer's.
set -euo pipefail

build="${1:-build}"
anzahl="${2:-500}"
bench="$build/bench/bench_vorschau"
[ -x "$bench" ] || { echo "fehlt: $bench (erst bauen)" >&2; exit 1; }
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3

# On disk, not in memory: the folder holds about 2 GB.
arbeit="$(mktemp -d "${TMPDIR:-/tmp}/zelvano-vorschau-XXXXXX")"
trap 'rm -rf "$arbeit"' EXIT
mkdir -p "$arbeit/bilder" "$arbeit/vips"

export ZELVANO_VORSCHAU_ORDNER="$arbeit/bilder" ZELVANO_VORSCHAU_ANZAHL="$anzahl"
# Makes the files, then reads them once so every tool finds them cached.
"$bench" --benchmark_filter='BM_VorschauDekodieren/0' >/dev/null 2>&1
"$bench" --benchmark_format=json >"$arbeit/ours.json" 2>/dev/null

"$PY" - "$arbeit/bilder" >"$arbeit/pillow.txt" <<'PYEOF'
import glob, os, sys, time
from multiprocessing import Pool
from PIL import Image
dateien = sorted(glob.glob(os.path.join(sys.argv[1], "*.jpg")))
def eins(pfad):
    im = Image.open(pfad)
    im.draft("RGB", (150, 150))
    im.thumbnail((150, 150))
    return im.size
s = time.perf_counter()
for d in dateien:
    eins(d)
print("pillow1", len(dateien) / (time.perf_counter() - s))
with Pool(os.cpu_count()) as pool:
    s = time.perf_counter()
    pool.map(eins, dateien, chunksize=4)
    print("pillowN", len(dateien) / (time.perf_counter() - s))
PYEOF

s=$(date +%s%N)
vipsthumbnail --size 150 -o "$arbeit/vips/%s.jpg" "$arbeit"/bilder/*.jpg
e=$(date +%s%N)
echo "vips $(awk "BEGIN{printf \"%.2f\", $anzahl / (($e - $s) / 1e9)}")" >"$arbeit/vips.txt"

"$PY" - "$arbeit" "$(nproc)" <<'PYEOF'
import json, sys
arbeit, alle = sys.argv[1], sys.argv[2]
ours = {}
for b in json.load(open(arbeit + "/ours.json"))["benchmarks"]:
    ours[b["name"].split("/iterations")[0]] = b
def datei(n):
    return {z.split()[0]: float(z.split()[1]) for z in open(n) if z.strip()}
peers = {**datei(arbeit + "/pillow.txt"), **datei(arbeit + "/vips.txt")}
eins = ours["BM_VorschauDekodieren/1"]["items_per_second"]
alleT = ours["BM_VorschauDekodieren/0"]["items_per_second"]
fenster = ours["BM_VorschauFenster"]
print(f"Vorschau 150 px, 4000x3000 JPEG {'':18} {'Bilder/s':>9} {'Verhältnis':>11}")
print(f"  Zelvano dekodieren, 1 Thread {'':21} {eins:9.1f}")
print(f"  Zelvano dekodieren, {alle} Threads {'':20} {alleT:9.1f}")
print(f"  Zelvano Fenster bis zum letzten Bild {'':13} {fenster['items_per_second']:9.1f}")
print(f"  Zelvano Fenster: erste Zeile nach {fenster['erste_zeile_ms']:.0f} ms  (Ziel <= 200 ms)")
for name, schluessel, ziel in [("Pillow draft+thumbnail, 1 Kern", "pillow1", "Ziel >= 4"),
                               (f"Pillow draft+thumbnail, {alle} Prozesse", "pillowN", None),
                               ("vipsthumbnail", "vips", None)]:
    r = peers[schluessel]
    text = f"  {name:50} {r:9.1f} {alleT / r:10.2f}x"
    print(text + (f"  ({ziel})" if ziel else ""))
PYEOF
