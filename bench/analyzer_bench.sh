#!/usr/bin/env bash
# Compares TarvelloScan with one capture's bare decode loop on three letterboxed 1920x1080 H.264 clips at x264's
# default key-frame interval (250 frames), 30 seconds, 5 minutes and 15 minutes long, on a 10-minute 1280x720 VP9
# WebM with hidden alt-ref frames (libvpx, two passes), on a 10-minute 1280x720 AV1 Matroska file (SVT-AV1) and on
# an 8-minute 1920x1080 10-bit 4:2:2 H.264 file with 16 reference frames, the one whose decoders hold the most;
# shows where the analyzer's time goes and the peak memory of each run. TarvelloScan runs as it chooses (several
# captures at once on the longer clips) and, for comparison, held to one capture.
# Each program runs RUNS times on each clip (default 3), the three programs in turn; the fastest run of each
# counts, which keeps other load on the machine out of the figures as far as possible. Goals on a quiet machine, whole-run ratio against the bare
# decode: 0.60 or more at 30 seconds, 1.00 or more at 5 minutes, 1.30 or more at 15 minutes and on the VP9 and AV1
# clips; peak memory at most 1 GB.
# Usage: bench/analyzer_bench.sh [build/bin folder]
# CLIPS=folder keeps the clips there and makes only the missing ones (the long ones take a while).
# SECONDS_LIST="30 300" runs only the H.264 clips of those lengths (SECONDS_LIST="" none of them);
# OTHERS="vp9 av1 high422" names the other clips to run (OTHERS="" none of them).
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

# Ten copies of a minute of VP9 with alt-ref frames, which libvpx makes only over two passes (slowly: a minute of
# 720p takes a few minutes), one after the other.
make_vp9() {
  local clip="$clips/vp9_alt_ref_600s.webm"
  if [ ! -f "$clip" ]; then
    local source="testsrc2=size=1280x720:rate=25:duration=60"
    local vp9=(-c:v libvpx-vp9 -deadline good -cpu-used 8 -row-mt 1 -auto-alt-ref 1 -lag-in-frames 25)
    ffmpeg -v error -y -f lavfi -i "$source" "${vp9[@]}" -pass 1 -passlogfile "$work/vp9" -f webm /dev/null
    ffmpeg -v error -y -f lavfi -i "$source" "${vp9[@]}" -pass 2 -passlogfile "$work/vp9" "$work/minute.webm"
    for _ in 1 2 3 4 5 6 7 8 9 10; do echo "file '$work/minute.webm'"; done >"$work/minutes.txt"
    ffmpeg -v error -y -f concat -safe 0 -i "$work/minutes.txt" -c copy "$clip"
    rm -f "$work/minute.webm" "$work/minutes.txt" "$work"/vp9*.log
  fi
  echo "$clip"
}

make_av1() {
  local clip="$clips/av1_600s.mkv"
  [ -f "$clip" ] || SVT_LOG=1 ffmpeg -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25:duration=600" \
    -c:v libsvtav1 -preset 12 "$clip"
  echo "$clip"
}

# Long enough for a capture a core on eight cores (12 000 frames).
make_high422() {
  local clip="$clips/high422_16refs_480s.mp4"
  [ -f "$clip" ] || ffmpeg -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=480" \
    -c:v libx264 -preset ultrafast -profile:v high422 -pix_fmt yuv422p10le -refs 16 "$clip"
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
# Runs the three programs on a clip and prints their figures; adds its line to the summary.
run_clip() {
  local title=$1 clip=$2 goal=$3
  rm -f "$work"/*.seconds "$work"/*.peak
  # Round by round, so that a spell of other load on the machine slows all three alike.
  for ((i = 0; i < runs; i++)); do
    timed decode "$bin/decode_bench" "$clip"
    timed scan "$bin/TarvelloScan" "$clip" 1.777778 "$work/data.rgb" "$work/hashes.dat" "$work/shots" ss \
      "$work/table.jpg" "$work/info.dat"
    timed one env TARVELLO_SCAN_SEGMENTS=1 "$bin/TarvelloScan" "$clip" 1.777778 "$work/data.rgb" \
      "$work/hashes.dat" "$work/shots" ss "$work/table.jpg" "$work/info.dat" 2>/dev/null
  done
  local decode_seconds scan_seconds one_seconds frames
  decode_seconds=$(cat "$work/decode.seconds")
  scan_seconds=$(cat "$work/scan.seconds")
  one_seconds=$(cat "$work/one.seconds")
  frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$work/decode.txt")
  echo "== $title (load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
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
  summary+=$(awk -v d="$decode_seconds" -v s="$scan_seconds" -v t="$title" -v g="$goal" \
    -v p="$(cat "$work/scan.peak")" 'BEGIN { printf "  %-36s %.3f (goal %s), peak %.0f MiB", t ":", d / s, g, p }')$'\n'
}

for seconds in ${SECONDS_LIST-30 300 900}; do
  run_clip "${seconds}-second H.264 clip" "$(make_clip "$seconds")" \
    "$(case $seconds in 30) echo 0.60 ;; 300) echo 1.00 ;; *) echo 1.30 ;; esac)"
done
for other in ${OTHERS-vp9 av1 high422}; do
  case $other in
  vp9) run_clip "10-minute VP9 clip, alt-ref frames" "$(make_vp9)" 1.30 ;;
  av1) run_clip "10-minute AV1 clip" "$(make_av1)" 1.30 ;;
  high422) run_clip "8-minute 10-bit 4:2:2 clip, 16 refs" "$(make_high422)" "-" ;;
  esac
done
echo "== whole-run ratios against one capture's bare decode"
printf "%s" "$summary"
