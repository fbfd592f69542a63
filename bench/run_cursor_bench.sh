#!/usr/bin/env bash
# Server-side cursors in SQLite and in a private PostgreSQL server, through the main window
# (quorva_cursor_bench), against the engines' own tools on the same rows in the same run, on
# three results:
#   unsorted  "select * from orders" (10,000,000 rows x 10 columns by default)
#   sorted    "select * from orders order by amount"
#   wide      "select * from wide" (100,000 rows of 10 KB; QUORVA_BENCH_WIDE_ROWS)
# and these figures:
#   first rows shown after the click, target at most 100 ms (not sorted)
#   "Records:"  vs  SELECT count(*) of the query, or the engine writing the sorted result to
#     /dev/null; target at most 1.2x
#   Ctrl+End, Ctrl+Home and a drag of the Rows bar to the middle, target at most 500 ms each
#   an edit of the first record, posted and the result read again (no target)
#   "Save grid" after the edit  vs  sqlite3 -tabs / psql \copy ... to, target at most 1.0x
#   peak memory beyond the connected window, target at most 64 MB
#
#   bench/run_cursor_bench.sh [runs, default 3] [work folder, default build-bench]
#
# QUORVA_BENCH_ROWS changes the row count; QUORVA_BENCH_BUILD names a build folder that has
# quorva_cursor_bench already; QUORVA_BENCH_ENGINES is "sqlite postgres" by default;
# QUORVA_BENCH_RESULTS is "unsorted sorted wide" by default;
# QUORVA_BENCH_PG_SERIES=1 fills PostgreSQL with generate_series rows of the same shape instead
# of the generated file (quick for very large counts). The data stays in the work folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
shared=${QUORVA_SHARED_DIR:-$repo/../shared}
runs=${1:-3}
work=$(mkdir -p "${2:-$repo/build-bench}" && cd "${2:-$repo/build-bench}" && pwd)
rows=${QUORVA_BENCH_ROWS:-10000000}
engines=${QUORVA_BENCH_ENGINES:-sqlite postgres}
results=${QUORVA_BENCH_RESULTS:-unsorted sorted wide}
wide_rows=${QUORVA_BENCH_WIDE_ROWS:-100000}
export QT_QPA_PLATFORM=offscreen

build=${QUORVA_BENCH_BUILD:-$work/build}
if [ -z "${QUORVA_BENCH_BUILD:-}" ]; then
    echo "== building (Release) in $build"
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target quorva_cursor_bench >/dev/null
fi
bench=$(find "$build" -name quorva_cursor_bench -type f -perm -u+x | head -n 1)
[ -n "$bench" ] || { echo "quorva_cursor_bench not found in $build" >&2; exit 2; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
field() { sed -n "s/.*$1=\([0-9.-]*\).*/\1/p" <<<"$2"; }

db=$work/orders$rows.db
if [[ " $engines " == *" sqlite "* || -z "${QUORVA_BENCH_PG_SERIES:-}" ]]; then
    [ -f "$db" ] || { echo "== generating $db"; python3 "$shared/bench/gen_orders.py" "$db" "$rows"; }
    if [[ " $results " == *" wide "* ]] &&
        [ -z "$(sqlite3 "$db" "select name from sqlite_master where name = 'wide'")" ]; then
        echo "== adding $wide_rows rows of 10 KB to $db"
        sqlite3 "$db" "CREATE TABLE wide(id INTEGER PRIMARY KEY, pad TEXT);
            INSERT INTO wide WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c
            WHERE n < $wide_rows) SELECT n, replace(hex(zeroblob(5000)), '0', 'x') FROM c"
    fi
fi

# A private PostgreSQL server on a socket in the work folder, stopped on exit.
pg_bin=${QUORVA_PG_BIN:-/usr/lib/postgresql/15/bin}
pg_data=$work/pg$rows
pg_sock=$work/pgsock
as_pg=()
[ "$(id -u)" -eq 0 ] && as_pg=(runuser -u postgres --)
start_postgres() {
    mkdir -p "$pg_sock"
    [ "$(id -u)" -eq 0 ] && chown postgres "$pg_sock" "$work"
    if [ ! -d "$pg_data" ]; then
        "${as_pg[@]}" "$pg_bin/initdb" -D "$pg_data" -U quorva --auth=trust -E UTF8 --no-locale >/dev/null
        fresh=1
    fi
    "${as_pg[@]}" "$pg_bin/pg_ctl" -D "$pg_data" -l "$pg_data.log" -w start \
        -o "-k $pg_sock -c listen_addresses= -p 5433 -c shared_buffers=256MB" >/dev/null
    trap '"${as_pg[@]}" "$pg_bin/pg_ctl" -D "$pg_data" -m fast -w stop >/dev/null' EXIT
    if [ -n "${fresh:-}" ]; then
        echo "== loading $rows rows into PostgreSQL"
        psql_cmd -c "CREATE TABLE orders(id integer PRIMARY KEY, customer text, city text,
            amount double precision, qty integer, date date, note text, flag integer,
            rate double precision, code text)"
        if [ -n "${QUORVA_BENCH_PG_SERIES:-}" ]; then
            psql_cmd -c "INSERT INTO orders SELECT n, 'Customer ' || n, 'City ' || (n % 50),
                (n % 100000) / 100.0, n % 500 + 1, date '2020-01-01' + n % 1000,
                CASE WHEN n % 5 = 0 THEN NULL ELSE 'note ' || n END, n % 2,
                (n % 10000) / 10000.0, 'AB-' || lpad((n % 100000)::text, 5, '0')
                FROM generate_series(1, $rows) n"
        else
            sqlite3 -csv "$db" 'select * from orders' | psql_cmd -c "\\copy orders from stdin csv"
        fi
        psql_cmd -c "CREATE TABLE wide(id integer PRIMARY KEY, pad text);
            INSERT INTO wide SELECT n, repeat('x', 10000) FROM generate_series(1, $wide_rows) n"
        psql_cmd -c "VACUUM ANALYZE orders"
        psql_cmd -c "VACUUM ANALYZE wide"
    fi
}
psql_cmd() { psql -h "$pg_sock" -p 5433 -U quorva -d postgres -X -q "$@"; }

report() {  # engine result reference_count_ms reference_export_ms lines...
    local engine=$1 result=$2 count_ref=$3 export_ref=$4
    shift 4
    local names=(first_ms records_ms last_ms first_again_ms middle_ms edit_ms save_ms added_peak_kb)
    local medians=()
    for name in "${names[@]}"; do
        local values=()
        for line in "$@"; do values+=("$(field "$name" "$line")"); done
        medians+=("$(median "${values[@]}")")
    done
    python3 - "$engine" "$result" "$count_ref" "$export_ref" "${medians[@]}" <<'PY'
import sys
engine, result, count_ref, export_ref = sys.argv[1:5]
count_ref, export_ref = float(count_ref), float(export_ref)
first, records, last, home, middle, edit, save, peak = map(float, sys.argv[5:13])
reference = "count(*)" if result != "sorted" else "export to /dev/null"
checks = [
    ("first rows shown", f"{first:.0f} ms", "<= 100 ms" if result != "sorted" else "-",
     first <= 100 or result == "sorted"),
    (f'"Records:" vs {reference}',
     f"{records:.0f} / {count_ref:.0f} ms = {records / count_ref:.2f}", "<= 1.2",
     records <= 1.2 * count_ref),
    ("Ctrl+End", f"{last:.0f} ms", "<= 500 ms", last <= 500),
    ("Ctrl+Home", f"{home:.0f} ms", "<= 500 ms", home <= 500),
    ("drag to the middle", f"{middle:.0f} ms", "<= 500 ms", middle <= 500),
    ("edit, posted, read again", f"{edit:.0f} ms" if edit >= 0 else "-", "-", True),
    ("Save grid vs export", f"{save:.0f} / {export_ref:.0f} ms = {save / export_ref:.2f}",
     "<= 1.0", save <= export_ref),
    ("peak memory added", f"{peak / 1024:.1f} MB", "<= 64 MB", peak <= 64 * 1024),
]
print(f"== {engine}, {result}, server-side cursor (medians)")
missed = 0
for name, value, target, met in checks:
    print(f"  {name:34} {value:32} target {target:10} {'met' if met else 'MISSED'}")
    missed += not met
sys.exit(1 if missed else 0)
PY
}

status=0
for engine in $engines; do
    [ "$engine" = postgres ] && start_postgres
    for result in $results; do
        lines=() count_ms=() export_ms=()
        case $result in
            unsorted) sql='select * from orders' edit=flag expected=$rows ;;
            sorted) sql='select * from orders order by amount' edit=flag expected=$rows ;;
            wide) sql='select * from wide' edit= expected=$wide_rows ;;
        esac
        case $engine in
            sqlite)
                connection="Provider=SQLite;Data Source=$db"
                count_all() { sqlite3 "$db" "select count(*) from ($sql)" >/dev/null; }
                export_to() { sqlite3 -tabs "$db" "$sql" >"$1"; }
                ;;
            postgres)
                connection="Provider=PostgreSQL;Host=$pg_sock;Port=5433;Database=postgres;User ID=quorva"
                count_all() { psql_cmd -Atc "select count(*) from ($sql) q" >/dev/null; }
                export_to() { psql_cmd -c "\\copy ($sql) to '$1'"; }
                ;;
        esac
        for run in $(seq "$runs"); do
            start=$(now_ms)
            if [ "$result" = sorted ]; then export_to /dev/null; else count_all; fi
            count_ms+=($(($(now_ms) - start)))
            start=$(now_ms); export_to "$work/ref.txt"; export_ms+=($(($(now_ms) - start)))
            line=$("$bench" "$connection" "$sql" server "$work/quorva.txt" $edit)
            [ "$(field records "$line")" = "$expected" ] ||
                { echo "quorva counted the wrong number of records: $line" >&2; exit 1; }
            lines+=("$line")
            echo "run $run ($engine, $result): reference ${count_ms[-1]} ms, export ${export_ms[-1]} ms; $line"
        done
        [ "$(wc -l <"$work/quorva.txt")" = "$expected" ] || { echo "Save grid lost rows" >&2; exit 1; }
        report "$engine" "$result" "$(median "${count_ms[@]}")" "$(median "${export_ms[@]}")" \
            "${lines[@]}" || status=1
    done
done
exit $status
