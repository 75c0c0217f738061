#!/usr/bin/env bash
# Runs the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# for SECONDS each, after replaying every stored case once:
#   tools/fuzz.sh 30     # what ./test.sh runs
#   tools/fuzz.sh 0      # the stored cases only
# Seeds and every input that once failed live in tests/data/fuzz/<target>/;
# the run itself grows a scratch corpus, not that folder. An input that fails
# now is copied there as a regression case (commit it with its mend), and the
# script ends with an error. Prints executions per second for each target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
targets=(TextTableFuzzer SettingsFuzzer NumberFuzzer EvemuFuzzer ReplayFuzzer FigureFileFuzzer
         DrawingFuzzer)

. tools/deps.sh
KALVOR_PACKAGES=(cmake make clang-14 libclang-rt-14-dev qt6-base-dev libevdev-dev libudev-dev
                  libpoppler-qt6-dev)
kalvor_install_deps

build=build-fuzz
CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVOR_FUZZ=ON \
  -DKALVOR_BUILD_TESTS=OFF -DKALVOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for t in "${targets[@]}"; do
  stored="tests/data/fuzz/$t"
  mkdir -p "$stored" "$scratch/$t/corpus" "$scratch/$t/found"
  # Every stored case once: a regression fails here whatever the time given.
  if ! "$build/tests/fuzz/$t" "$stored"/* >"$scratch/$t/replay.log" 2>&1; then
    echo "$t: a stored case fails:" >&2
    tail -30 "$scratch/$t/replay.log" >&2
    failed=1
    continue
  fi
  [ "$seconds" -gt 0 ] || { echo "$t: $(ls "$stored" | wc -l) stored cases pass"; continue; }
  if "$build/tests/fuzz/$t" "$scratch/$t/corpus" "$stored" -max_total_time="$seconds" \
       -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$scratch/$t/found/" >"$scratch/$t/run.log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$t/run.log")
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$scratch/$t/run.log")
    echo "$t: $runs runs in ${time:-$seconds} s, $((runs / ${time:-$seconds})) exec/s," \
         "$(ls "$scratch/$t/corpus" | wc -l) inputs in the corpus, no failure"
  else
    echo "$t: FAILED" >&2
    grep -v '^#' "$scratch/$t/run.log" | tail -40 >&2
    for f in "$scratch/$t/found"/*; do
      [ -f "$f" ] || continue
      cp "$f" "$stored/regression-$(basename "$f")"
      echo "  kept as $stored/regression-$(basename "$f")" >&2
    done
    failed=1
  fi
done
exit "$failed"
