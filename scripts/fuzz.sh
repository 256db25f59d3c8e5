#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for SECONDS (10 by default), keeping its corpus in build/fuzz/corpus. Any crash, leak or
# undefined behaviour fails the run and leaves the input that caused it in build/fuzz.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"

. scripts/quietly.sh
scripts/install-deps.sh
quietly "Building the fuzz targets" sh -c 'cmake --preset fuzz && cmake --build --preset fuzz'
for target in CommandLine History Record Png DesktopSplit; do
  corpus="build/fuzz/corpus/$target"
  mkdir -p "$corpus"
  log="$setup_logs/fuzz-$target.log"
  if ! (cd build/fuzz && "fuzz/${target}Fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        "../../$corpus") >"$log" 2>&1; then
    echo "${target}Fuzz found a fault:" >&2
    grep -A 30 -E "ERROR|runtime error|deadly" "$log" | head -n 60 >&2
    echo "The whole log: $log" >&2
    exit 1
  fi
  runs=$(grep -oE "stat::number_of_executed_units: [0-9]+" "$log" | grep -oE "[0-9]+$")
  coverage=$(grep -oE "cov: [0-9]+" "$log" | tail -n 1 | grep -oE "[0-9]+")
  echo "${target}Fuzz: $runs inputs in ${seconds} s, $coverage coverage points, no fault"
done
