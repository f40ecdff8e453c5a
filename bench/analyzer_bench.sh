#!/usr/bin/env bash
# Compares TarvelloScan with a bare decode loop on two letterboxed 1920x1080 H.264 clips at x264's default
# key-frame interval (250 frames), 30 seconds and 5 minutes long, and shows where the analyzer's time goes.
# Each program runs RUNS times on each clip (default 3); the fastest run counts, which keeps other load on the
# machine out of the figures as far as possible. Goals: a whole-run ratio of 0.65 or more at 30 seconds and
# 0.92 or more at 5 minutes.
# Usage: bench/analyzer_bench.sh [build/bin folder]
# CLIPS=folder keeps the clips there and makes only the missing ones (the 5-minute one takes a while).
set -euo pipefail
bin=${1:-"$(dirname "$0")/../build/bin"}
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clips=${CLIPS:-"$work"}
mkdir -p "$clips" "$work/shots"

# 1920x800 picture between black bars of 140 rows, at 25 frames a second.
make_clip() {
  local seconds=$1 clip="$clips/letterboxed_$1s.mp4"
  [ -f "$clip" ] || ffmpeg -v error -y -f lavfi -i "testsrc2=size=1920x800:rate=25:duration=$seconds" \
    -vf "pad=1920:1080:0:140:black" -c:v libx264 -preset veryfast -pix_fmt yuv420p "$clip"
  echo "$clip"
}

# Seconds of the fastest of $runs runs of a command; the fastest run's standard output stays in $work/$1.txt.
fastest() {
  local name=$1 best="" start end seconds
  shift
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s.%N)
    "$@" >"$work/run.txt"
    end=$(date +%s.%N)
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v s="$seconds" -v b="$best" 'BEGIN { exit !(s < b) }'; then
      best=$seconds
      mv "$work/run.txt" "$work/$name.txt"
    fi
  done
  echo "$best"
}

stages='^(Read frame|Scale|CopyTo|VH.count|RGBFlow|Save|Table) *='
summary=""
for seconds in 30 300; do
  clip=$(make_clip "$seconds")
  decode_seconds=$(fastest decode "$bin/decode_bench" "$clip")
  scan_seconds=$(fastest scan "$bin/TarvelloScan" "$clip" 1.777778 "$work/data.rgb" "$work/hashes.dat" \
    "$work/shots" ss "$work/table.jpg" "$work/info.dat")
  frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$work/decode.txt")
  main_pass_seconds=$(awk -F= -v re="$stages" '$0 ~ re { t += $2 } END { print t / 1e9 }' "$work/scan.txt")
  echo "== ${seconds}-second clip"
  awk -v n="$frames" -v d="$decode_seconds" -v s="$scan_seconds" -v m="$main_pass_seconds" -v r="$runs" \
    -v goal="$([ "$seconds" = 30 ] && echo 0.65 || echo 0.92)" 'BEGIN {
    printf "frames              %d (fastest of %d runs each)\n", n, r
    printf "bare decode         %.1f frames/s (%.2f s, whole process)\n", n / d, d
    printf "TarvelloScan        %.1f frames/s (%.2f s, whole process)\n", n / s, s
    printf "  its main pass     %.1f frames/s (%.2f s; the rest is start-up and the sampling pass)\n", n / m, m
    printf "ratio, whole run    %.3f (goal: %s or more)\n", d / s, goal
    printf "ratio, main pass    %.3f\n", d / m }'
  echo "stage shares of the main pass (Read frame is the wait for the read-ahead decoder thread):"
  awk -F= -v re="$stages" '$0 ~ re { name[++n] = $1; ticks[n] = $2; total += $2 }
    END { for (i = 1; i <= n; i++) printf "  %s %6.2f %%  (%.3f s)\n", name[i], 100 * ticks[i] / total, ticks[i] / 1e9 }' \
    "$work/scan.txt"
  summary+=$(awk -v d="$decode_seconds" -v s="$scan_seconds" -v c="$seconds" 'BEGIN { printf "  %3d s clip: %.3f\n", c, d / s }')$'\n'
done
echo "== whole-run ratios against bare decode (goals: 0.65 at 30 s, 0.92 at 5 min)"
printf "%s" "$summary"
