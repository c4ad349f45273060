#!/usr/bin/env bash
# Builds and runs every test: a Release build, then an ASan+UBSan build, the
# threads test under ThreadSanitizer, then short fuzzing runs of every
# libFuzzer target. The tests run inside one Xvfb server, so the application's
# windows have a real X display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
# -noreset: by default the server resets whenever its last client leaves and
# refuses connections meanwhile, so a test starting at that moment could not
# open the display.
with_display=(xvfb-run -a -s "-screen 0 1920x1080x24 -noreset")

echo "== Release build and tests"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
"${with_display[@]}" ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== Debian package"
bash scripts/check-package.sh build/release

echo "== Sanitizer build and tests (ASan+UBSan)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMORA_SANITIZE=ON -DKINEMORA_BUILD_BENCH=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "${with_display[@]}" ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -E install_consumer

echo "== Threads test under ThreadSanitizer"
# Only the program that checks the threading contract of the README.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMORA_TSAN=ON -DKINEMORA_BUILD_BENCH=OFF
cmake --build build/tsan -j "$jobs" --target core_threads_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build/tsan/core/tests/threads/core_threads_tests

echo "== Fuzzing (clang, ASan+UBSan)"
# One line per target: program, seed directory, largest input in bytes,
# seconds of fuzzing.
fuzz_targets=(
  "core/fuzz/binaryFileReader_fuzz core/tests/logFile/corpus 4096 30"
  "ext/fuzz/structPipeRead_fuzz ext/tests/base/corpus/structPipeRead 16384 12"
  "ext/fuzz/structDeserialize_fuzz ext/tests/base/corpus/structDeserialize 16384 12"
  "ext/fuzz/structArrayDeserialize_fuzz ext/tests/serialization/corpus/structArrayDeserialize 8192 12"
  "ext/fuzz/linkDecode_fuzz ext/tests/linkCodec/corpus/decode 193 12"
  "ext/fuzz/linkEncode_fuzz ext/tests/linkCodec/corpus/encode 81 12"
  "ext/fuzz/dcdLoad_fuzz ext/tests/moduleManager/corpus/dcdLoad 261 12"
  "ext/fuzz/tlinkPipeRead_fuzz ext/tests/tlinkPipe/corpus/pipeRead 4096 12"
  "ext/fuzz/tlinkDeviceIo_fuzz ext/tests/tlinkDevice/corpus/deviceIo 2048 12"
)
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKINEMORA_FUZZ=ON -DKINEMORA_BUILD_TESTS=OFF -DKINEMORA_BUILD_BENCH=OFF -DKINEMORA_BUILD_APP=OFF
fuzz_programs=()
for entry in "${fuzz_targets[@]}"; do
  read -r program _ <<<"$entry"
  fuzz_programs+=("$(basename "$program")")
done
cmake --build build/fuzz -j "$jobs" --target "${fuzz_programs[@]}"
# New inputs and crash reproducers go to a scratch directory; the seeds stay
# as committed. A crash, a leak or an allocation over 64 MB fails the run and
# leaves the reproducer there.
fuzz_work=$(mktemp -d)
for entry in "${fuzz_targets[@]}"; do
  read -r program seeds max_len seconds <<<"$entry"
  name=$(basename "$program")
  echo "-- $name: $seconds s, inputs up to $max_len bytes"
  mkdir -p "$fuzz_work/$name/corpus"
  "build/fuzz/$program" -max_total_time="$seconds" -max_len="$max_len" -malloc_limit_mb=64 \
    -print_final_stats=1 -artifact_prefix="$fuzz_work/$name/" "$fuzz_work/$name/corpus" "$seeds"
done
rm -rf "$fuzz_work"
