#!/usr/bin/env bash
# "Save grid" of "select * from orders" (1,000,000 rows x 10 columns) through the main window,
# alternating in the same run with the sqlite3 tool writing the same rows as tab-delimited text.
# Checks that both files hold the same rows (line ends aside, floats compared by the program's
# rule of 15 significant digits), reports the median times and the memory the save added, and
# checks the targets: Quorva at most 1.0 x sqlite3's time, at most 32 MB added by the save.
#
#   bench/run_save_bench.sh [runs, default 5] [work folder, default build-bench]
#
# QUORVA_BENCH_ROWS changes the number of rows. The database is generated into the work folder
# when it is missing (never into the repository).
set -euo pipefail

bench_target=quorva_save_bench
source "$(dirname "$0")/bench_common.sh"
sqlite_text=$work/save-sqlite$rows.tsv
quorva_text=$work/save-quorva$rows.txt

sqlite_ms=() quorva_ms=() quorva_kb=()
for run in $(seq "$runs"); do
    start=$(now_ms)
    sqlite3 -tabs "$db" 'select * from orders' >"$sqlite_text"
    sqlite_ms+=($(($(now_ms) - start)))

    line=$("$work/build/quorva_save_bench" "$db" "$quorva_text")
    records=$(sed -n 's/.*records=\([0-9]*\).*/\1/p' <<<"$line")
    [ "$records" = "$rows" ] || { echo "quorva counted '$records' records, not $rows" >&2; exit 1; }
    quorva_ms+=("$(sed -n 's/.*save_ms=\([0-9.]*\).*/\1/p' <<<"$line")")
    quorva_kb+=("$(sed -n 's/.*added_peak_kb=\([0-9-]*\).*/\1/p' <<<"$line")")
    echo "run $run: sqlite3 ${sqlite_ms[-1]} ms, quorva save ${quorva_ms[-1]} ms," \
        "added peak ${quorva_kb[-1]} kB"
done

python3 - "$sqlite_text" "$quorva_text" <<'PY'
import sys

def same(a, b):
    if a == b:
        return True
    try:
        return '%.15g' % float(a) == '%.15g' % float(b)
    except ValueError:
        return False

with open(sys.argv[1], 'rb') as tool, open(sys.argv[2], 'rb') as saved:
    lines = 0
    for lines, (s, q) in enumerate(zip(tool, saved), 1):
        s = s.rstrip(b'\n').decode()
        q = q.rstrip(b'\n')
        if not q.endswith(b'\r'):
            sys.exit('line %d of the saved grid does not end with CR LF' % lines)
        fs, fq = s.split('\t'), q[:-1].decode().split('\t')
        if len(fs) != len(fq) or not all(same(a, b) for a, b in zip(fs, fq)):
            sys.exit('line %d differs:\n  sqlite3 %r\n  quorva  %r' % (lines, s, q))
    if tool.read(1) or saved.read(1):
        sys.exit('the files hold different numbers of lines (%d compared)' % lines)
    print('files agree: %d lines' % lines)
PY

text_bytes=$(stat -c %s "$quorva_text")
sqlite_median=$(median "${sqlite_ms[@]}")
quorva_median=$(median "${quorva_ms[@]}")
peak_kb=$(printf '%s\n' "${quorva_kb[@]}" | sort -n | tail -1)
awk -v s="$sqlite_median" -v q="$quorva_median" -v kb="$peak_kb" -v text="$text_bytes" \
    -v rows="$rows" -v runs="$runs" 'BEGIN {
    time = q / s; fast = time <= 1.0; lean = kb >= 0 && kb * 1024 <= 32e6
    printf "\n%d rows, %d runs (medians)\n", rows, runs
    printf "sqlite3 -tabs export  %8.0f ms\n", s
    printf "quorva Save grid      %8.0f ms   file %.1f MB, added peak %.1f MB\n", q, text / 1e6, kb * 1024 / 1e6
    printf "time ratio %.2f (target at most 1.0)  %s\n", time, fast ? "ok" : "MISSED"
    printf "added memory %.1f MB (target at most 32)  %s\n", kb * 1024 / 1e6, lean ? "ok" : "MISSED"
    exit (fast && lean) ? 0 : 1
}'
