#!/usr/bin/env bash
# Server-side cursors on "select * from orders" (10,000,000 rows x 10 columns by default) in
# SQLite and in a private PostgreSQL server, through the main window (quorva_cursor_bench),
# against the engines' own tools on the same rows in the same run:
#   "Records:"  vs  SELECT count(*) of the query (sqlite3 / psql), target at most 1.2x
#   first rows shown after the click, target at most 100 ms
#   Ctrl+End and Ctrl+Home on the grid, target at most 500 ms each
#   "Save grid"  vs  sqlite3 -tabs / psql \copy ... to, target at most 1.0x
#   peak memory beyond the connected window, target at most 64 MB
#
#   bench/run_cursor_bench.sh [runs, default 3] [work folder, default build-bench]
#
# QUORVA_BENCH_ROWS changes the row count; QUORVA_BENCH_BUILD names a build folder that has
# quorva_cursor_bench already; QUORVA_BENCH_ENGINES is "sqlite postgres" by default;
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
sql='select * from orders'
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
        psql_cmd -c "VACUUM ANALYZE orders"
    fi
}
psql_cmd() { psql -h "$pg_sock" -p 5433 -U quorva -d postgres -X -q "$@"; }

report() {  # engine label reference_count_ms reference_export_ms lines...
    local engine=$1 count_ref=$2 export_ref=$3
    shift 3
    local first=() records=() last=() home=() save=() peak=()
    for line in "$@"; do
        first+=("$(field first_ms "$line")") records+=("$(field records_ms "$line")")
        last+=("$(field last_ms "$line")") home+=("$(field first_again_ms "$line")")
        save+=("$(field save_ms "$line")") peak+=("$(field added_peak_kb "$line")")
    done
    python3 - "$engine" "$rows" "$count_ref" "$export_ref" "$(median "${first[@]}")" \
        "$(median "${records[@]}")" "$(median "${last[@]}")" "$(median "${home[@]}")" \
        "$(median "${save[@]}")" "$(median "${peak[@]}")" <<'PY'
import sys
engine, rows, count_ref, export_ref, first, records, last, home, save, peak = sys.argv[1:]
count_ref, export_ref = float(count_ref), float(export_ref)
first, records, last, home, save, peak = map(float, (first, records, last, home, save, peak))
checks = [
    ("first rows shown", f"{first:.0f} ms", "<= 100 ms", first <= 100),
    ('"Records:" vs count(*)', f"{records:.0f} / {count_ref:.0f} ms = {records / count_ref:.2f}",
     "<= 1.2", records <= 1.2 * count_ref),
    ("Ctrl+End", f"{last:.0f} ms", "<= 500 ms", last <= 500),
    ("Ctrl+Home", f"{home:.0f} ms", "<= 500 ms", home <= 500),
    ("Save grid vs export", f"{save:.0f} / {export_ref:.0f} ms = {save / export_ref:.2f}",
     "<= 1.0", save <= export_ref),
    ("peak memory added", f"{peak / 1024:.1f} MB", "<= 64 MB", peak <= 64 * 1024),
]
print(f"== {engine}, {int(rows):,} rows, server-side cursor (medians)")
missed = 0
for name, value, target, met in checks:
    print(f"  {name:26} {value:32} target {target:10} {'met' if met else 'MISSED'}")
    missed += not met
sys.exit(1 if missed else 0)
PY
}

status=0
for engine in $engines; do
    lines=() count_ms=() export_ms=()
    case $engine in
        sqlite)
            connection="Provider=SQLite;Data Source=$db"
            count() { sqlite3 "$db" "select count(*) from ($sql)" >/dev/null; }
            export_rows() { sqlite3 -tabs "$db" "$sql" >"$work/ref.txt"; }
            ;;
        postgres)
            start_postgres
            connection="Provider=PostgreSQL;Host=$pg_sock;Port=5433;Database=postgres;User ID=quorva"
            count() { psql_cmd -Atc "select count(*) from ($sql) q" >/dev/null; }
            export_rows() { psql_cmd -c "\\copy ($sql) to '$work/ref.txt'"; }
            ;;
    esac
    for run in $(seq "$runs"); do
        start=$(now_ms); count; count_ms+=($(($(now_ms) - start)))
        start=$(now_ms); export_rows; export_ms+=($(($(now_ms) - start)))
        line=$("$bench" "$connection" "$sql" server "$work/quorva.txt")
        [ "$(field records "$line")" = "$rows" ] ||
            { echo "quorva counted the wrong number of records: $line" >&2; exit 1; }
        lines+=("$line")
        echo "run $run ($engine): count(*) ${count_ms[-1]} ms, export ${export_ms[-1]} ms; $line"
    done
    [ "$(wc -l <"$work/quorva.txt")" = "$rows" ] || { echo "Save grid lost rows" >&2; exit 1; }
    report "$engine" "$(median "${count_ms[@]}")" "$(median "${export_ms[@]}")" "${lines[@]}" ||
        status=1
done
exit $status
