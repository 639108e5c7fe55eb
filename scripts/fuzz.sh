#!/usr/bin/env bash
# Builds the libFuzzer target of the VBScript interpreter with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) in build-fuzz and runs it for a bounded time on the seed
# corpus. A finding (crash, sanitizer report, timeout) makes this script fail.
# FUZZ_SECONDS sets the running time (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds="${FUZZ_SECONDS:-60}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUILLORA_FUZZ=ON -DQUILLORA_SANITIZE=ON >/dev/null
cmake --build "$build" --target fuzz_vbscript -j "$(nproc)"

# libFuzzer adds what it finds to the corpus folder: work on a copy of the seeds.
corpus="$build/fuzz-corpus"
mkdir -p "$corpus" "$build/fuzz-artifacts"
cp tests/run/vbscript/corpus/* "$corpus/"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$build/fuzz_vbscript" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -detect_leaks=0 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-artifacts/"
