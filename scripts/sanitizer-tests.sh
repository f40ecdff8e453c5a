#!/usr/bin/env bash
# Builds the code with threads and locks, and the analyzer, under the sanitizers, each in a build tree of its own
# beside build/, and runs their tests there:
#   build-tsan/ (ThreadSanitizer): the split pass, the data files and the frame reader in the analyzer's tests, the
#     client as separate processes, its start-up and message loop, and the work-folder and path locks;
#   build-asan/ (AddressSanitizer with UndefinedBehaviorSanitizer and LeakSanitizer): both analyzer test programs
#     whole.
# The programs that the tests start (TarvelloScan, Quillsum, the client processes) come from the same tree, so
# they are checked too. A report in our own code ends the process that makes it with a failing exit code, and so
# fails its test; reports inside the system's libraries are suppressed by the files in tests/sanitizers/.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
suppressions=$source/tests/sanitizers

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$suppressions/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
# A code of its own, so that a report never passes for one of the analyzer's own exit codes.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:exitcode=86"
export LSAN_OPTIONS="exitcode=86"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=86"

tsan_targets=(analyzer_run_tests analyzer_unit_tests client_add_windows client_add_runners client_entry_tests
  platform_tests)
asan_targets=(analyzer_run_tests analyzer_unit_tests)

# The runs: tree, program, test filter, shards (processes that share the program's tests). The longest first.
# The analyzer's filter also takes the join bookkeeping's unit tests (JoinRule*).
analyzer_threads='*SplitPass*:*DataFile*:FrameReader*:JoinRule*'
runs=(
  "build-tsan analyzer_run_tests $analyzer_threads 4"
  "build-asan analyzer_run_tests * 4"
  "build-tsan client_add_windows ClientProcess* 1"
  "build-tsan client_entry_tests * 1"
  "build-tsan analyzer_unit_tests $analyzer_threads 1"
  "build-tsan client_add_runners *WorkFolder*:*Lock* 1"
  "build-tsan platform_tests *Lock* 1"
  "build-asan analyzer_unit_tests * 1"
)
# At most this many test processes at once: each analyzer run decodes on several threads, and the split pass
# must not starve.
slots=$(( $(nproc) / 2 > 2 ? $(nproc) / 2 : 2 ))

build() {
  local tree=$1 sanitizer=$2
  shift 2
  mkdir -p "$tree"
  { cmake -S . -B "$tree" -G Ninja -DTARVELLO_SANITIZE="$sanitizer" &&
    cmake --build "$tree" --parallel "$(nproc)" --target "$@"; } >"$tree/sanitizer-build.log" 2>&1 ||
    { cat "$tree/sanitizer-build.log"; return 1; }
}

echo "Building under ThreadSanitizer into build-tsan/ and under AddressSanitizer into build-asan/"
build build-tsan thread "${tsan_targets[@]}" &
tsan_build=$!
build build-asan address "${asan_targets[@]}" &
asan_build=$!
built=true
wait "$tsan_build" || built=false
wait "$asan_build" || built=false
$built || exit 1
for tree in build-tsan build-asan; do
  if grep -q "warning:" "$tree/sanitizer-build.log"; then
    echo "Warnings in $tree:"
    grep -A4 "warning:" "$tree/sanitizer-build.log"
  fi
done

declare -A job_name=() job_log=()
failed=()
finish_one() {
  local pid
  wait -n -p pid "${!job_name[@]}" && status=0 || status=$?
  if ((status != 0)); then
    echo "FAILED (exit code $status): ${job_name[$pid]}"
    tail -n 150 "${job_log[$pid]}"
    failed+=("${job_name[$pid]}")
  fi
  unset "job_name[$pid]" "job_log[$pid]"
}

for run in "${runs[@]}"; do
  read -r tree program filter shards <<<"$run"
  mkdir -p "$tree/sanitizer-logs"
  for ((shard = 0; shard < shards; ++shard)); do
    while ((${#job_name[@]} >= slots)); do finish_one; done
    log=$tree/sanitizer-logs/$program.$shard.log
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$shard timeout 1200 "$tree/bin/$program" \
      --gtest_filter="$filter" --gtest_brief=1 </dev/null >"$log" 2>&1 &
    job_name[$!]="$tree/bin/$program --gtest_filter='$filter' (shard $((shard + 1)) of $shards, log $log)"
    job_log[$!]=$log
  done
done
while ((${#job_name[@]})); do finish_one; done

if ((${#failed[@]})); then
  printf 'Failed under a sanitizer: %s\n' "${failed[@]}"
  exit 1
fi
echo "Every sanitizer run passed."
