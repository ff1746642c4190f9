#!/usr/bin/env bash
# Builds the character file library with clang under AddressSanitizer and UndefinedBehavior-
# Sanitizer, runs its unit tests, then fuzzes the reader and the codec for a minute.
# Run from the repository root. Exits non-zero on any failure.
set -euo pipefail

BUILD=${BUILD:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}

# One build serves both: fuzzer-no-link only adds coverage hooks, which the sanitizer runtime
# satisfies in the unit tests, and sharing it halves the build time.
SANITIZE="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$SANITIZE -fsanitize=fuzzer-no-link -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="$SANITIZE" \
    -DHORAVOX_WERROR=ON \
    -DHORAVOX_FUZZ=ON
cmake --build "$BUILD" -j"$JOBS" --target test_lz_codec test_acs_file test_acs_robustness acstool fuzz_acs

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$BUILD" -L '^acs$' --output-on-failure

# The fuzzer adds what it finds to its corpus folder; it gets a copy so the committed seeds stay
# as they are.
CORPUS=$(mktemp -d)
trap 'rm -rf "$CORPUS"' EXIT
cp tests/acs/fuzz/corpus/* "$CORPUS"/
"$BUILD"/fuzz_acs -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$CORPUS"
echo "sanitize-and-fuzz: unit tests and ${FUZZ_SECONDS}s of fuzzing passed"
