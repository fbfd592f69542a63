#!/usr/bin/env bash
# "Export to spreadsheet…" of the orders table (1,000 and 10,000 rows x 10 columns) through the
# main window and the shipped spreadsheet server, against LibreOffice converting the same rows
# from CSV to xlsx in the same run. The export pauses after every row by design (2 ms per
# column), so what is compared is the time beyond those pauses. Reports both, how much of the
# time beyond is the system waking the export late from its pauses (rows x the overshoot of one
# such sleep, measured by the bench program), the server's and LibreOffice's peak memory, and
# checks that LibreOffice reads the workbook back with the same cells. Targets: time beyond the pauses at most 0.5 x LibreOffice's time, server memory at most
# LibreOffice's.
#
#   bench/run_export_bench.sh [work folder, default build-bench]
#   QUORVA_BENCH_BUILD=build bench/run_export_bench.sh /tmp/export-bench   (programs built already)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
shared=${QUORVA_SHARED_DIR:-$repo/../shared}
work=$(mkdir -p "${1:-$repo/build-bench}" && cd "${1:-$repo/build-bench}" && pwd)
generator=$shared/bench/gen_orders.py
[ -f "$generator" ] || { echo "gen_orders.py not found under $shared/bench" >&2; exit 2; }
for tool in soffice sqlite3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (run_print_bench.sh installs it)" >&2; exit 2; }
done

# QUORVA_BENCH_BUILD names a build folder that has both programs already.
build=${QUORVA_BENCH_BUILD:-$work/build}
if [ -z "${QUORVA_BENCH_BUILD:-}" ]; then
    echo "== building (Release) in $build"
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target quorva_export_bench quorva-sheetserver >/dev/null
fi
bench=$(find "$build" -name quorva_export_bench -type f -perm -u+x | head -n 1)
server=$(find "$build" -name quorva-sheetserver -type f -perm -u+x | head -n 1)

# A world of its own: the settings store registers the server, the sockets go to a folder here.
export QT_QPA_PLATFORM=offscreen
export QUORVA_REGISTRY=$work/export-registry.reg QUORVA_DDE_DIR=$work/dde
rm -f "$QUORVA_REGISTRY"
mkdir -p "$QUORVA_DDE_DIR"
"$server" --register >/dev/null

status=0
printf '| rows | export s | pauses s | beyond s | late wake-ups s | LibreOffice s | beyond / LO | server MiB | LibreOffice MiB |\n'
printf '|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for rows in 1000 10000; do
    db=$work/orders$rows.db
    [ -f "$db" ] || python3 "$generator" "$db" "$rows" >/dev/null
    book=$work/export$rows.XLS
    rm -f "$book" "${book%.XLS}.BAK"

    # The server is started here, under GNU time, so that its peak memory is known; the export
    # finds it answering and ends it when its conversation ends.
    /usr/bin/time -f %M -o "$work/server$rows.kb" "$server" &
    server_pid=$!
    sleep 0.5
    line=$("$bench" "$db" "$book")
    wait "$server_pid"
    records=$(sed -n 's/.*records=\([0-9]*\).*/\1/p' <<<"$line")
    export_ms=$(sed -n 's/.*export_ms=\([0-9.]*\).*/\1/p' <<<"$line")
    pause_ms=$(sed -n 's/.*pause_ms=\([0-9]*\).*/\1/p' <<<"$line")
    overshoot_ms=$(sed -n 's/.*overshoot_ms=\([0-9.-]*\).*/\1/p' <<<"$line")
    [ "$records" = "$rows" ] || { echo "the export counted '$records' records, not $rows" >&2; exit 1; }

    csv=$work/export$rows.csv
    sqlite3 -csv -header "$db" 'select * from orders' >"$csv"
    rm -rf "$work/lo$rows"
    /usr/bin/time -f '%e %M' -o "$work/lo$rows.time" \
        soffice --headless --convert-to xlsx --outdir "$work/lo$rows" "$csv" >/dev/null 2>&1
    read -r lo_s lo_kb <"$work/lo$rows.time"

    # LibreOffice reads the workbook back; its cells must be the rows.
    rm -rf "$work/back$rows" && mkdir -p "$work/back$rows"
    cp "$book" "$work/back$rows/export.xlsx"
    soffice --headless --convert-to csv --outdir "$work/back$rows" "$work/back$rows/export.xlsx" \
        >/dev/null 2>&1
    python3 - "$csv" "$work/back$rows/export.csv" <<'PY' || status=1
import csv, sys
def same(a, b):
    if a == b:
        return True
    try:
        return abs(float(a) - float(b)) <= 1e-9 * max(1.0, abs(float(a)))
    except ValueError:
        return False
with open(sys.argv[1], newline='') as f:
    want = list(csv.reader(f))
with open(sys.argv[2], newline='', encoding='utf-8', errors='replace') as f:
    got = list(csv.reader(f))
bad = [i for i, (w, g) in enumerate(zip(want, got)) if len(w) != len(g) or not all(same(a, b) for a, b in zip(w, g))]
if len(want) != len(got) or bad:
    sys.exit('workbook differs from the rows: %d rows against %d, first differing row %s' % (len(got), len(want), bad[:1]))
PY

    server_kb=$(tail -n 1 "$work/server$rows.kb")
    awk -v rows="$rows" -v t="$export_ms" -v p="$pause_ms" -v o="$overshoot_ms" -v lo="$lo_s" -v skb="$server_kb" -v lkb="$lo_kb" 'BEGIN {
        pauses = rows * p / 1000; beyond = t / 1000 - pauses; ratio = beyond / lo;
        printf "| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %.0f |\n", rows, t / 1000, pauses, beyond, rows * o / 1000, lo, ratio, skb / 1024, lkb / 1024;
        exit (ratio <= 0.5 && skb <= lkb) ? 0 : 1 }' || status=1
done
exit $status
