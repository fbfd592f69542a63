#!/usr/bin/env bash
# Prints the orders table (10,000 and 100,000 rows) as a user does, through the main window's
# "Execute SQL" and "Print grid" into a PDF, and in the same run has LibreOffice convert the same
# rows as CSV to PDF. Reports wall time, peak memory and pages of both, Quorva's phases, and
# checks the targets:
#   Quorva time at most 0.5 x LibreOffice's and Quorva peak memory at most LibreOffice's at both
#   sizes, Quorva time(100k) / time(10k) at most 10, all 10 columns on the page width.
# Installs libreoffice-calc-nogui (and GNU time, poppler-utils) when they are missing.
#
#   bench/run_print_bench.sh [work folder, default build-bench]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
shared=${QUORVA_SHARED_DIR:-$repo/../shared}
work=$(mkdir -p "${1:-$repo/build-bench}" && cd "${1:-$repo/build-bench}" && pwd)
generator=$shared/bench/gen_orders.py

install_missing() {
    local missing=()
    command -v soffice >/dev/null || missing+=(libreoffice-calc-nogui)
    [ -x /usr/bin/time ] || missing+=(time)
    command -v pdfinfo >/dev/null || missing+=(poppler-utils)
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

[ -f "$generator" ] || { echo "gen_orders.py not found under $shared/bench" >&2; exit 2; }
install_missing

echo "== building (Release) in $work/build"
if ! { cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$work/build" --target bench_print_orders bench_compose; } >"$work/build.log" 2>&1; then
    tail -30 "$work/build.log" >&2
    exit 2
fi

for rows in 10000 100000; do
    db=$work/orders$rows.db
    [ -f "$db" ] || python3 "$generator" "$db" "$rows"
    [ -f "$work/orders$rows.csv" ] || python3 "$generator" --csv "$work/orders$rows.csv" --from "$db"
done

export QT_QPA_PLATFORM=offscreen
profile=file://$work/lo-profile
# The first start of LibreOffice creates its profile; that is not part of the measurement.
head -3 "$work/orders10000.csv" > "$work/warmup.csv"
soffice -env:UserInstallation="$profile" --headless --convert-to pdf --outdir "$work/lo" "$work/warmup.csv" >/dev/null 2>&1

# Runs a command under GNU time; prints "seconds kilobytes".
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/last.log" 2>&1
    cat "$work/time.txt"
}

pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }

# One figure of bench_print_orders's line, e.g. field compose_s.
field() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p" "$work/last.log"; }

declare -A kit_s kit_kb kit_pages lo_s lo_kb lo_pages kit_execute kit_compose kit_print
for rows in 10000 100000; do
    rm -f "$work/kit$rows.pdf"
    read -r kit_s[$rows] kit_kb[$rows] < <(QUORVA_PRINTER="pdf:600:$work/kit$rows.pdf" \
        measure "$work/build/bench_print_orders" "$work/orders$rows.db")
    records=$(field records)
    [ "$records" = "$rows" ] || { echo "Quorva printed '$records' records, not $rows:" >&2; cat "$work/last.log" >&2; exit 1; }
    kit_execute[$rows]=$(field execute_s)
    kit_compose[$rows]=$(field compose_s)
    kit_print[$rows]=$(field print_s)
    kit_pages[$rows]=$(pages "$work/kit$rows.pdf")
    read -r lo_s[$rows] lo_kb[$rows] < <(measure soffice -env:UserInstallation="$profile" --headless \
        --convert-to pdf --outdir "$work/lo" "$work/orders$rows.csv")
    lo_pages[$rows]=$(pages "$work/lo/orders$rows.pdf")
done

titles=$(pdftotext -layout -f 1 -l 1 "$work/kit10000.pdf" - | grep -cE '\bid +customer +city +amount +qty +date +note +flag +rate +code\b' || true)

echo
echo "| rows | Quorva s | LibreOffice s | Quorva / LO | Quorva MiB | LibreOffice MiB | Quorva pages | LibreOffice pages | execute s | compose s | print s |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for rows in 10000 100000; do
    awk -v r="$rows" -v ks="${kit_s[$rows]}" -v ls="${lo_s[$rows]}" -v km="${kit_kb[$rows]}" -v lm="${lo_kb[$rows]}" \
        -v kp="${kit_pages[$rows]}" -v lp="${lo_pages[$rows]}" -v ex="${kit_execute[$rows]}" \
        -v co="${kit_compose[$rows]}" -v pr="${kit_print[$rows]}" \
        'BEGIN { printf "| %d | %.2f | %.2f | %.2f | %.0f | %.0f | %d | %d | %.2f | %.2f | %.2f |\n", r, ks, ls, ks / ls, km / 1024, lm / 1024, kp, lp, ex, co, pr }'
done
echo

failed=0
check() {
    if awk "BEGIN { exit !($2) }"; then echo "PASS  $1"; else echo "FAIL  $1"; failed=1; fi
}
check "Quorva time at most 0.5 x LibreOffice's (10k)" "${kit_s[10000]} <= 0.5 * ${lo_s[10000]}"
check "Quorva time at most 0.5 x LibreOffice's (100k)" "${kit_s[100000]} <= 0.5 * ${lo_s[100000]}"
check "Quorva time(100k) / time(10k) at most 10" "${kit_s[100000]} <= 10 * ${kit_s[10000]}"
check "Quorva peak memory at most LibreOffice's (10k)" "${kit_kb[10000]} <= ${lo_kb[10000]}"
check "Quorva peak memory at most LibreOffice's (100k)" "${kit_kb[100000]} <= ${lo_kb[100000]}"
check "all 10 columns on the page width" "$titles >= 1"

echo
echo "== composition alone: the window's adapter, BuildFromGrid (Google Benchmark)"
QUORVA_PRINTER=pdf:600 QUORVA_ORDERS_DB="$work/orders100000.db" "$work/build/bench_compose" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true
exit $failed
