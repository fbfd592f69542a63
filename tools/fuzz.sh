#!/usr/bin/env bash
# Builds the .reg reader fuzzer into build-fuzz and runs it over a copy of the seed corpus for
# a bounded time: $1 seconds, 60 unless given. Exits non-zero when it finds a crash, a hang, a
# leak or a broken check; the input that did it is left in build-fuzz/findings/.
set -euo pipefail
export PATH="${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds="${1:-60}"

compiler="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$compiler" ]; then
    echo "fuzz.sh: clang++ not found (packages clang-14 and libclang-rt-14-dev)" >&2
    exit 1
fi
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The fuzzer adds the inputs it finds to its corpus; the seeds in the source tree stay as they
# are. Its scratch store goes to the build folder too.
corpus="$build/corpus"
rm -rf "$corpus" "$build/findings" "$build/tmp"
mkdir -p "$corpus" "$build/findings" "$build/tmp"
cp "$root/fuzz/corpus/reg/"* "$corpus/"

export TMPDIR="$build/tmp"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if symbolizer="$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer)"; then
    export ASAN_SYMBOLIZER_PATH="$symbolizer"
fi
"$build/RegFileFuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/fuzz/reg.dict" -artifact_prefix="$build/findings/" -print_final_stats=1 \
    "$corpus" </dev/null
