#!/usr/bin/env bash
# Installs what is missing, builds, makes a short letterboxed sample video and runs the analyzer on it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

out=sample
rm -rf "$out"
mkdir -p "$out/screenshots"
# 320 frames of a moving test pattern, 640x360 content centred in 640x480 with black bars above and below.
ffmpeg -v error -y -f lavfi -i testsrc2=size=640x360:rate=25:duration=12.8 \
  -vf "pad=640:480:0:60:black" -c:v libx264 -pix_fmt yuv420p "$out/sample.mp4"

build/bin/TarvelloScan "$out/sample.mp4" 1.333333 "$out/data.rgb" "$out/hashes.dat" \
  "$out/screenshots" ss "$out/table.jpg" "$out/info.dat"

echo
echo "Written into $out/:"
ls -l "$out" "$out/screenshots"
echo
cat "$out/info.dat"
