#!/usr/bin/env bash
# Prints the orders table (10,000 and 100,000 rows) as a user does, through the main window's
# "Execute SQL" and "Print grid" into a PDF, and in the same run, alternating with it, has
# LibreOffice convert the same rows as CSV to PDF. Reports the median wall time, the peak memory
# and the pages of both, Quorva's phases, and checks the targets:
#   Quorva time at most 0.5 x LibreOffice's and Quorva peak memory at most LibreOffice's at both
#   sizes, Quorva time(100k) / time(10k) at most 10, every column title printed.
# Installs libreoffice-calc-nogui (and GNU time, poppler-utils) when they are missing.
#
#   bench/run_print_bench.sh [work folder, default build-bench] [runs, default 3]
#
# QUORVA_BENCH_BIN names a folder that holds bench_print_orders and bench_compose already built
# (a build of the whole project has them under bench/); nothing is built then.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
shared=${QUORVA_SHARED_DIR:-$repo/../shared}
work=$(mkdir -p "${1:-$repo/build-bench}" && cd "${1:-$repo/build-bench}" && pwd)
runs=${2:-3}
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

bin=${QUORVA_BENCH_BIN:-$work/build}
if [ -z "${QUORVA_BENCH_BIN:-}" ]; then
    echo "== building (Release) in $work/build"
    if ! { cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
           cmake --build "$work/build" --target bench_print_orders bench_compose; } >"$work/build.log" 2>&1; then
        tail -30 "$work/build.log" >&2
        exit 2
    fi
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

# Runs a command under GNU time; prints "wall-seconds kilobytes processor-seconds".
measure() {
    /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" "$@" >"$work/last.log" 2>&1
    awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time.txt"
}

pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
largest() { printf '%s\n' "$@" | sort -g | tail -1; }
# One figure of bench_print_orders's line, e.g. field compose_s.
field() { sed -n "s/.*\b$1=\([0-9.]*\).*/\1/p" "$work/last.log"; }

declare -A kit_s kit_kb kit_cpu lo_s lo_kb lo_cpu kit_execute kit_compose kit_print kit_pages lo_pages
for run in $(seq "$runs"); do
    for rows in 10000 100000; do
        rm -f "$work/kit$rows.pdf"
        read -r s kb cpu < <(QUORVA_PRINTER="pdf:600:$work/kit$rows.pdf" \
            measure "$bin/bench_print_orders" "$work/orders$rows.db")
        records=$(field records)
        [ "$records" = "$rows" ] || { echo "Quorva printed '$records' records, not $rows:" >&2; cat "$work/last.log" >&2; exit 1; }
        kit_s[$rows]+=" $s" kit_kb[$rows]+=" $kb" kit_cpu[$rows]+=" $cpu"
        kit_execute[$rows]+=" $(field execute_s)" kit_compose[$rows]+=" $(field compose_s)"
        kit_print[$rows]+=" $(field print_s)"
        kit_pages[$rows]=$(pages "$work/kit$rows.pdf")
        read -r s kb cpu < <(measure soffice -env:UserInstallation="$profile" --headless \
            --convert-to pdf --outdir "$work/lo" "$work/orders$rows.csv")
        lo_s[$rows]+=" $s" lo_kb[$rows]+=" $kb" lo_cpu[$rows]+=" $cpu"
        lo_pages[$rows]=$(pages "$work/lo/orders$rows.pdf")
        echo "run $run, $rows rows: Quorva ${kit_s[$rows]##* } s (processor ${kit_cpu[$rows]##* } s)," \
            "LibreOffice $s s (processor $cpu s)"
    done
done

declare -A kit_median kit_peak kit_cpu_median lo_median lo_peak lo_cpu_median
for rows in 10000 100000; do
    kit_median[$rows]=$(median ${kit_s[$rows]}) kit_peak[$rows]=$(largest ${kit_kb[$rows]})
    lo_median[$rows]=$(median ${lo_s[$rows]}) lo_peak[$rows]=$(largest ${lo_kb[$rows]})
    kit_cpu_median[$rows]=$(median ${kit_cpu[$rows]}) lo_cpu_median[$rows]=$(median ${lo_cpu[$rows]})
done

echo
echo "Medians of $runs runs (time), largest of them (memory):"
echo
echo "| rows | Quorva s | LibreOffice s | Quorva / LO | Quorva processor s | LibreOffice processor s | Quorva MiB | LibreOffice MiB | Quorva pages | LibreOffice pages | execute s | compose s | print s |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for rows in 10000 100000; do
    awk -v r="$rows" -v ks="${kit_median[$rows]}" -v ls="${lo_median[$rows]}" -v km="${kit_peak[$rows]}" -v lm="${lo_peak[$rows]}" \
        -v kc="${kit_cpu_median[$rows]}" -v lc="${lo_cpu_median[$rows]}" \
        -v kp="${kit_pages[$rows]}" -v lp="${lo_pages[$rows]}" -v ex="$(median ${kit_execute[$rows]})" \
        -v co="$(median ${kit_compose[$rows]})" -v pr="$(median ${kit_print[$rows]})" \
        'BEGIN { printf "| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %.0f | %d | %d | %.2f | %.2f | %.2f |\n", r, ks, ls, ks / ls, kc, lc, km / 1024, lm / 1024, kp, lp, ex, co, pr }'
done
echo

text=$(pdftotext "$work/kit10000.pdf" -)
missing=0
for title in id customer city amount qty date note flag rate code; do
    grep -qw "$title" <<<"$text" || { echo "column title '$title' not printed" >&2; missing=1; }
done

failed=0
check() {
    if awk "BEGIN { exit !($2) }"; then echo "PASS  $1"; else echo "FAIL  $1"; failed=1; fi
}
check "Quorva time at most 0.5 x LibreOffice's (10k)" "${kit_median[10000]} <= 0.5 * ${lo_median[10000]}"
check "Quorva time at most 0.5 x LibreOffice's (100k)" "${kit_median[100000]} <= 0.5 * ${lo_median[100000]}"
check "Quorva time(100k) / time(10k) at most 10" "${kit_median[100000]} <= 10 * ${kit_median[10000]}"
check "Quorva peak memory at most LibreOffice's (10k)" "${kit_peak[10000]} <= ${lo_peak[10000]}"
check "Quorva peak memory at most LibreOffice's (100k)" "${kit_peak[100000]} <= ${lo_peak[100000]}"
check "every column title printed" "$missing == 0"

echo
echo "== composition alone: the window's adapter, BuildFromGrid (Google Benchmark)"
QUORVA_PRINTER=pdf:600 QUORVA_ORDERS_DB="$work/orders100000.db" "$bin/bench_compose" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true
exit $failed
