#!/usr/bin/env bash
# Runs every benchmark program of a build folder: bench/run.sh <builddir>
set -euo pipefail
build="${1:-build}"
status=0
for programm in "$build"/bench/bench_*; do
  [ -f "$programm" ] && [ -x "$programm" ] || continue
  echo "== $(basename "$programm")"
  "$programm" --benchmark_min_time=0.5 "${@:2}" || status=1
done
exit $status
