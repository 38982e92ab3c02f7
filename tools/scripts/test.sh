#!/usr/bin/env bash
# Builds everything and runs every test: unit, headless and end-to-end (Xvfb) tests, then the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
bash tools/scripts/install-deps.sh test
jobs=$(nproc)

echo "== build"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
# A test that fails runs once more: a sanitizer's own tracer or a loaded machine can fail a run
# once, and a real fault fails both.
ctest --test-dir build --output-on-failure -j"$jobs" --repeat until-pass:2

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The rules must reach the same states as in the plain build: its whole game's trace is the
# reference of this build's and of the clang build's below.
trace=$root/build/rules_trace.txt
cmake -S . -B build-asan -G Ninja -DLAMBRISK_SANITIZE=ON -DLAMBRISK_RULES_REFERENCE="$trace" >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j"$jobs" --repeat until-pass:2

echo "== the rules built by clang, then the fuzzers"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLAMBRISK_FUZZ=ON -DLAMBRISK_RULES_REFERENCE="$trace" >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzzers rules_tests
build-fuzz/tests/rules/rules_tests --gtest_brief=1
# Twelve seconds each keeps the whole command near a quarter of an hour; longer runs: tools/scripts/fuzz.sh.
FUZZ_SECONDS=${FUZZ_SECONDS:-12} bash tools/scripts/fuzz.sh build-fuzz
echo "== all tests passed"
