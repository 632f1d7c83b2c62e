#!/usr/bin/env bash
# Runs every benchmark of the build and prints its figures.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b"
done
[ $found -eq 1 ] || echo "no benchmark built"
