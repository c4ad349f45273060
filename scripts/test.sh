#!/usr/bin/env bash
# Builds and runs every test: a Release build, then an ASan+UBSan build, then
# a short fuzzing run of the binary log reader.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)

echo "== Release build and tests"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== Sanitizer build and tests (ASan+UBSan)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMORA_SANITIZE=ON -DKINEMORA_BUILD_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -E install_consumer

echo "== Fuzzing the binary log file reader (30 s, clang, ASan+UBSan)"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKINEMORA_FUZZ=ON -DKINEMORA_BUILD_TESTS=OFF -DKINEMORA_BUILD_BENCH=OFF
cmake --build build/fuzz -j "$jobs" --target binaryFileReader_fuzz
# New inputs and crash reproducers go to a scratch directory; the seeds stay
# as committed. A crash, a leak or an allocation over 64 MB fails the run and
# leaves the reproducer there.
fuzz_work=$(mktemp -d)
mkdir -p "$fuzz_work/corpus"
build/fuzz/core/fuzz/binaryFileReader_fuzz -max_total_time=30 -max_len=4096 -malloc_limit_mb=64 \
  -print_final_stats=1 -artifact_prefix="$fuzz_work/" "$fuzz_work/corpus" core/tests/logFile/corpus
rm -rf "$fuzz_work"
