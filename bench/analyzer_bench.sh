#!/usr/bin/env bash
# Compares TarvelloScan with one capture's bare decode loop on three letterboxed 1920x1080 H.264 clips at x264's
# default key-frame interval (250 frames), 30 seconds, 5 minutes and 15 minutes long, shows where the analyzer's
# time goes and the peak memory of each run. TarvelloScan runs as it chooses (several captures at once on the
# longer clips) and, for comparison, held to one capture.
# Each program runs RUNS times on each clip (default 3), the three programs in turn; the fastest run of each
# counts, which keeps other load on the machine out of the figures as far as possible. Goals on a quiet machine, whole-run ratio against the bare
# decode: 0.60 or more at 30 seconds, 1.00 or more at 5 minutes, 1.30 or more at 15 minutes; peak memory at
# most 1 GB.
# Usage: bench/analyzer_bench.sh [build/bin folder]
# CLIPS=folder keeps the clips there and makes only the missing ones (the long ones take a while).
# SECONDS_LIST="30 300" runs only the clips of those lengths.
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

# Peak resident memory of a command in KiB, through GNU time (installed by the setup script).
measure() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M -o "$work/peak.txt" "$@"
  else
    echo 0 >"$work/peak.txt"
    "$@"
  fi
}

# Runs a command once; keeps in $work/$1.seconds the fewest seconds of its runs so far (with that run's standard
# output in $work/$1.txt) and in $work/$1.peak the largest peak memory (MiB).
timed() {
  local name=$1 start end seconds
  shift
  start=$(date +%s.%N)
  measure "$@" >"$work/run.txt"
  end=$(date +%s.%N)
  seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
  awk -v p="$(cat "$work/$name.peak" 2>/dev/null || echo 0)" -v k="$(cat "$work/peak.txt")" \
    'BEGIN { print (k / 1024 > p ? k / 1024 : p) }' >"$work/peak.new"
  mv "$work/peak.new" "$work/$name.peak"
  if [ ! -f "$work/$name.seconds" ] || awk -v s="$seconds" -v b="$(cat "$work/$name.seconds")" 'BEGIN { exit !(s < b) }'
  then
    echo "$seconds" >"$work/$name.seconds"
    mv "$work/run.txt" "$work/$name.txt"
  fi
}

stages='^(Read frame|Scale|CopyTo|VH.count|RGBFlow|Save|Table) *='
summary=""
for seconds in ${SECONDS_LIST:-30 300 900}; do
  clip=$(make_clip "$seconds")
  goal=$(case $seconds in 30) echo 0.60 ;; 300) echo 1.00 ;; *) echo 1.30 ;; esac)
  rm -f "$work"/*.seconds "$work"/*.peak
  # Round by round, so that a spell of other load on the machine slows all three alike.
  for ((i = 0; i < runs; i++)); do
    timed decode "$bin/decode_bench" "$clip"
    timed scan "$bin/TarvelloScan" "$clip" 1.777778 "$work/data.rgb" "$work/hashes.dat" "$work/shots" ss \
      "$work/table.jpg" "$work/info.dat"
    timed one env TARVELLO_SCAN_SEGMENTS=1 "$bin/TarvelloScan" "$clip" 1.777778 "$work/data.rgb" \
      "$work/hashes.dat" "$work/shots" ss "$work/table.jpg" "$work/info.dat" 2>/dev/null
  done
  decode_seconds=$(cat "$work/decode.seconds")
  scan_seconds=$(cat "$work/scan.seconds")
  one_seconds=$(cat "$work/one.seconds")
  frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$work/decode.txt")
  echo "== ${seconds}-second clip (load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
  awk -v n="$frames" -v d="$decode_seconds" -v s="$scan_seconds" -v o="$one_seconds" -v r="$runs" -v goal="$goal" \
    -v dp="$(cat "$work/decode.peak")" -v sp="$(cat "$work/scan.peak")" -v op="$(cat "$work/one.peak")" 'BEGIN {
    printf "frames                   %d (fastest of %d runs each; peak memory: the largest of the runs)\n", n, r
    printf "bare decode              %7.1f frames/s (%6.2f s)  peak %5.0f MiB\n", n / d, d, dp
    printf "TarvelloScan             %7.1f frames/s (%6.2f s)  peak %5.0f MiB\n", n / s, s, sp
    printf "TarvelloScan, 1 capture  %7.1f frames/s (%6.2f s)  peak %5.0f MiB\n", n / o, o, op
    printf "ratio, whole run         %.3f (goal: %s or more); held to one capture %.3f\n", d / s, goal, d / o }'
  echo "stage sums of the main pass over all captures (Read frame is the wait for the read-ahead decoders):"
  awk -F= -v re="$stages" '$0 ~ re { name[++n] = $1; ticks[n] = $2; total += $2 }
    END { for (i = 1; i <= n; i++) printf "  %s %6.2f %%  (%.3f s)\n", name[i], 100 * ticks[i] / total, ticks[i] / 1e9 }' \
    "$work/scan.txt"
  summary+=$(awk -v d="$decode_seconds" -v s="$scan_seconds" -v c="$seconds" -v g="$goal" \
    -v p="$(cat "$work/scan.peak")" 'BEGIN { printf "  %4d s clip: %.3f (goal %s), peak %.0f MiB", c, d / s, g, p }')$'\n'
done
echo "== whole-run ratios against one capture's bare decode"
printf "%s" "$summary"
