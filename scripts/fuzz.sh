#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer
# on) in build-fuzz and runs each for a bounded time on its seed corpus: the VBScript
# interpreter, the JScript grammar check and scope rewrite, the codec round trip (any
# bytes read and written back unedited come back identical) and the settings-file reader. A finding (crash, sanitizer report, timeout)
# makes this script fail.
# The run is repeatable: a fixed seed and a fixed number of inputs per target, so CI and a
# developer's machine try the same inputs; FUZZ_SECONDS caps the time of each target (default 120)
# and only cuts a slow machine's run short. FUZZ_SEED and FUZZ_RUNS explore further, e.g.
#   FUZZ_SEED=$RANDOM FUZZ_RUNS=-1 FUZZ_SECONDS=600 scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds="${FUZZ_SECONDS:-120}"
seed="${FUZZ_SEED:-1}"

# target, seed corpus, largest input, inputs to run (about a minute each on two cores)
targets=(
    "fuzz_vbscript tests/run/vbscript/corpus 4096 50000"
    "fuzz_jssyntax tests/run/jscript/syntax-corpus 4096 400000"
    "fuzz_jsscope tests/run/jscript/scope-corpus 4096 200000"
    "fuzz_codec tests/editor/codec-corpus 4096 120000"
    "fuzz_settings tests/store/settings-corpus 2048 180000"
)

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUILLORA_FUZZ=ON -DQUILLORA_SANITIZE=ON >/dev/null
names=()
for t in "${targets[@]}"; do
    read -r name _ _ <<<"$t"
    names+=("$name")
done
cmake --build "$build" --target "${names[@]}" -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for t in "${targets[@]}"; do
    read -r name seeds maxlen runs <<<"$t"
    runs="${FUZZ_RUNS:-$runs}"
    # libFuzzer adds what it finds to the corpus folder: work on a copy of the seeds.
    corpus="$build/corpus-$name"
    rm -rf "$corpus"
    mkdir -p "$corpus" "$build/artifacts-$name"
    cp "$seeds"/* "$corpus/"
    echo "== $name: $runs inputs from seed $seed, at most $seconds s"
    "$build/$name" "$corpus" -seed="$seed" -runs="$runs" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 \
        -max_len="$maxlen" -detect_leaks=0 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts-$name/"
done
