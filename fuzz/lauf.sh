#!/usr/bin/env bash
# Builds the fuzz targets with clang (sanitizers on) in their own build
# folder, writes the seed corpus and runs every target for a bounded time:
#   fuzz/lauf.sh [build-ordner] [sekunden je ziel] [gleichzeitige ziele] [ziel ...]
# The corpus grows in <build>/korpus/<ziel>; a finding lands in
# <build>/funde/ and makes the run fail. The executions of each target are
# listed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-fuzz}
SEKUNDEN=${2:-60}
PARALLEL=${3:-3}
shift $(( $# < 3 ? $# : 3 ))
JOBS=${JOBS:-3}

if [ ! -f "$BUILD/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S fuzz -B "$BUILD" -G Ninja >/dev/null
fi
cmake --build "$BUILD" --target fuzz_alle -j "$JOBS"

ZIELE=("$@")
if [ ${#ZIELE[@]} -eq 0 ]; then
  mapfile -t ZIELE < <(cd "$BUILD" && ls fuzz_* | grep -v '\.' | grep -vx fuzz_saat | sort)
fi

SAAT="$BUILD/saat"
rm -rf "$SAAT"
bash fuzz/korpus.sh "$BUILD/muster" "$SAAT"
"$BUILD/fuzz_saat" "$SAAT"
mkdir -p "$BUILD/funde" "$BUILD/protokolle"

export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1:detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# Leaks are not looked for (Qt and ImageMagick keep caches to the end);
# libFuzzer's own leak check would run many inputs a second time for nothing.
# Only the timeout counts as slow: an input of a few seconds that took over
# ten while the machine was busy is no finding.
ein_ziel() {
  local ziel=$1
  mkdir -p "$BUILD/korpus/$ziel"
  "$BUILD/$ziel" -max_len=8388608 -dict=fuzz/kopf.dict -max_total_time="$SEKUNDEN" -timeout=20 -report_slow_units=20 -detect_leaks=0 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$BUILD/funde/$ziel-" \
    "$BUILD/korpus/$ziel" "$SAAT/$ziel" > "$BUILD/protokolle/$ziel.log" 2>&1
}
export -f ein_ziel
export BUILD SEKUNDEN SAAT

status=0
printf '%s\n' "${ZIELE[@]}" | xargs -P "$PARALLEL" -I{} bash -c 'ein_ziel {}' || status=1

for ziel in "${ZIELE[@]}"; do
  n=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$BUILD/protokolle/$ziel.log" | grep -o '[0-9]*$' || echo "?")
  printf '%-20s %12s Ausführungen\n' "$ziel" "$n"
done
if [ $status -ne 0 ] || ls "$BUILD/funde/" | grep -q .; then
  echo "Funde in $BUILD/funde (Protokolle in $BUILD/protokolle)"
  exit 1
fi
