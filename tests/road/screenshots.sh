#!/usr/bin/env bash
# Runs the road through every program under private X servers and collects a picture of each
# window it passes, in both languages, with the road's figures, into one folder.
# Usage: [JOBS=n] tests/road/screenshots.sh [build folder] [output folder]
set -euo pipefail
build=${1:-build}
out=${2:-$build/screenshots}
jobs=${JOBS:-$(nproc)}
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
cmake --build "$build" -j "$jobs" --target road_feedback_test road_contedit_test road_hub_test \
  road_imageconv_test
ROAD_OUTPUT="$out" ctest --test-dir "$build" -R '^(Builds/)?Road' -j "$jobs" --output-on-failure
echo "Screenshots in $out:"
ls "$out"
if [ -f "$out/figures.txt" ]; then
  cat "$out/figures.txt"
fi
