#!/usr/bin/env bash
# Runs every fuzzer of a fuzzing build (default build-fuzz/) for FUZZ_SECONDS each (default 20),
# or for FUZZ_RUNS runs each (FUZZ_RUNS=1000000 tools/scripts/fuzz.sh is the long campaign),
# from copies of its seeds: the committed ones (tests/fuzz/corpus/<name>/) and the ones the build
# writes. A fuzzer that fails has the end of its report printed, its crashing input kept in
# <build>/artifacts/ and named, and makes this script fail once all have run.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-fuzz}
artifacts=$build/artifacts
mkdir -p "$artifacts"
export LSAN_OPTIONS="suppressions=$(pwd)/tests/fuzz/lsan.supp:print_suppressions=0"
failed=()
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  echo "-- $name"
  # libFuzzer adds what it finds to its corpus folder: give it a copy of the seeds.
  corpus=$(mktemp -d)
  for seeds in "tests/fuzz/corpus/${name#fuzz_}" "$build/tests/fuzz/corpus/${name#fuzz_}"; do
    if [ -d "$seeds" ]; then cp -r "$seeds/." "$corpus/"; fi
  done
  log=$artifacts/$name.log
  rm -f "$artifacts/$name"-*  # what is listed below is this run's alone
  # FUZZ_RUNS (for the long campaign) stops each after that many runs instead of a time.
  if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); else limit=(-max_total_time="${FUZZ_SECONDS:-20}"); fi
  if "$fuzzer" "${limit[@]}" -rss_limit_mb=4096 \
       -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
    tail -n 1 "$log"
  else
    status=$?
    echo "!! $name failed with status $status; the end of its output (all of it in $log):"
    tail -n 60 "$log"
    for input in "$artifacts/$name"-*; do
      if [ -e "$input" ]; then echo "!! input kept: $input (replay: $fuzzer $input)"; fi
    done
    failed+=("$name")
  fi
  rm -rf "$corpus"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "!! fuzzers failed: ${failed[*]}"
  exit 1
fi
