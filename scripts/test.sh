#!/usr/bin/env bash
# Sets up, then builds and runs every test: a Release build with gcc, then the same
# tests (plus short fuzzing runs) under AddressSanitizer and UndefinedBehaviorSanitizer
# with clang. Ends with CTest's summary of the sanitizer run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

echo "== Release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BENCH=ON
cmake --build build/release
ctest --test-dir build/release --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
CC=clang CXX=clang++ cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_SANITIZE=ON -DMORVANE_FUZZ=ON -DMORVANE_BENCH=OFF
cmake --build build/asan
ctest --test-dir build/asan --output-on-failure -j"$jobs"
