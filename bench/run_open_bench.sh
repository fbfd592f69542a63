#!/usr/bin/env bash
# Opens "select * from orders" (1,000,000 rows x 10 columns) through Quorva's data set and grid
# and, alternating with it in the same run, has the sqlite3 tool export the same rows as
# tab-delimited text. Reports the median times, Quorva's peak memory against the size of that
# text, and checks the targets: Quorva at most 1.5 x sqlite3's time and at most 2 x the text.
#
#   bench/run_open_bench.sh [runs, default 5] [work folder, default build-bench]
#
# QUORVA_BENCH_ROWS changes the number of rows. The database is generated into the work folder
# when it is missing (never into the repository).
set -euo pipefail

bench_target=quorva_open_bench
source "$(dirname "$0")/bench_common.sh"
text=$work/orders$rows.tsv

sqlite_ms=() quorva_ms=() quorva_kb=()
for run in $(seq "$runs"); do
    start=$(now_ms)
    sqlite3 -tabs "$db" 'select * from orders' >"$text"
    sqlite_ms+=($(($(now_ms) - start)))

    line=$("$work/build/quorva_open_bench" "$db")
    records=$(sed -n 's/.*records=\([0-9]*\).*/\1/p' <<<"$line")
    [ "$records" = "$rows" ] || { echo "quorva counted '$records' records, not $rows" >&2; exit 1; }
    quorva_ms+=("$(sed -n 's/.*open_ms=\([0-9.]*\).*/\1/p' <<<"$line")")
    quorva_kb+=("$(sed -n 's/.*peak_rss_kb=\([0-9]*\).*/\1/p' <<<"$line")")
    rows_kb=$(sed -n 's/.*rows_kb=\([0-9]*\).*/\1/p' <<<"$line")
    echo "run $run: sqlite3 ${sqlite_ms[-1]} ms, quorva ${quorva_ms[-1]} ms," \
        "peak ${quorva_kb[-1]} kB (rows ${rows_kb} kB)"
done

text_bytes=$(stat -c %s "$text")
sqlite_median=$(median "${sqlite_ms[@]}")
quorva_median=$(median "${quorva_ms[@]}")
peak_kb=$(printf '%s\n' "${quorva_kb[@]}" | sort -n | tail -1)
awk -v s="$sqlite_median" -v q="$quorva_median" -v kb="$peak_kb" -v text="$text_bytes" \
    -v rows="$rows" -v runs="$runs" 'BEGIN {
    time = q / s; memory = kb * 1024 / text
    printf "\n%d rows, %d runs (medians)\n", rows, runs
    printf "sqlite3 -tabs export   %8.0f ms   text %.1f MB\n", s, text / 1e6
    printf "quorva Open+RecordCount %7.0f ms   peak RSS %.1f MB\n", q, kb * 1024 / 1e6
    printf "time   ratio %.2f (target at most 1.5)  %s\n", time, time <= 1.5 ? "ok" : "MISSED"
    printf "memory ratio %.2f (target at most 2.0)  %s\n", memory, memory <= 2.0 ? "ok" : "MISSED"
    exit (time <= 1.5 && memory <= 2.0) ? 0 : 1
}'
