#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz and runs each over a copy of its seed corpus for a
# bounded time. Usage: tools/fuzz.sh [seconds] [target...]: `seconds` is the whole run's time,
# 240 unless given, shared evenly by the targets named (every target unless some are). Exits
# non-zero when a target finds a crash, a hang, a leak or a broken check; the input that did it
# is left in build-fuzz/findings/<target>/.
set -euo pipefail
export PATH="${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seconds="${1:-240}"
shift || true

compiler="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$compiler" ]; then
    echo "fuzz.sh: clang++ not found (packages clang-14 and libclang-rt-14-dev)" >&2
    exit 1
fi
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# A target is a dictionary beside its seeds.
if [ "$#" -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for dict in "$root"/fuzz/*.dict; do
        targets+=("$(basename "$dict" .dict)")
    done
fi
each=$((seconds / ${#targets[@]}))
[ "$each" -ge 1 ] || each=1

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if symbolizer="$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer)"; then
    export ASAN_SYMBOLIZER_PATH="$symbolizer"
fi

failed=()
for target in "${targets[@]}"; do
    if [ ! -x "$build/fuzz-$target" ] || [ ! -d "$root/fuzz/corpus/$target" ]; then
        echo "fuzz.sh: no target $target" >&2
        exit 1
    fi
    # The fuzzer adds the inputs it finds to its corpus; the seeds in the source tree stay as
    # they are. Its scratch files go to the build folder too.
    corpus="$build/corpus/$target" findings="$build/findings/$target" scratch="$build/tmp/$target"
    rm -rf "$corpus" "$findings" "$scratch"
    mkdir -p "$corpus" "$findings" "$scratch"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    echo "== $target: $each s"
    if ! TMPDIR="$scratch" "$build/fuzz-$target" -max_total_time="$each" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -dict="$root/fuzz/$target.dict" \
        -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" </dev/null; then
        failed+=("$target")
    fi
done
if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz.sh: findings in ${failed[*]} (inputs in $build/findings/)" >&2
    exit 1
fi
