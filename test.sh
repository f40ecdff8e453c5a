#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test: first through ctest, which gives each test a
# process of its own, then each test program whole with its tests in a random order, so that a test that leans
# on what an earlier one left behind fails too. Then the code with threads and locks under ThreadSanitizer and the
# analyzer under AddressSanitizer, each built from scratch in a tree of its own (scripts/sanitizer-tests.sh).
set -euo pipefail
cd "$(dirname "$0")"
rm -rf build build-tsan build-asan
scripts/setup.sh
cd build
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --parallel "$(nproc)" --timeout 600

mapfile -t programs < test-programs.txt
failed=()
for program in "${programs[@]}"; do
  name=$(basename "$program")
  seed=$((RANDOM % 99999 + 1))
  echo "Running $name whole, shuffled with seed $seed"
  timeout 1800 "$program" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1 </dev/null ||
    failed+=("$name (seed $seed)")
done
if ((${#failed[@]})); then
  printf 'Failed when run whole: %s\n' "${failed[@]}"
  exit 1
fi
echo "Every test program passed whole and shuffled."
cd ..
scripts/sanitizer-tests.sh
