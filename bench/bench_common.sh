# Shared by the run_*_bench.sh scripts that compare Quorva with the sqlite3 tool on the orders
# table: sourced with the script's arguments (runs, work folder) and the Quorva bench target.
# Sets here, repo, runs, work, rows and db (generated when missing), builds the target
# (Release) into $work/build, and offers now_ms and median.

here=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
repo=$(dirname "$here")
shared=${QUORVA_SHARED_DIR:-$repo/../shared}
runs=${1:-5}
work=$(mkdir -p "${2:-$repo/build-bench}" && cd "${2:-$repo/build-bench}" && pwd)
rows=${QUORVA_BENCH_ROWS:-1000000}
generator=$shared/bench/gen_orders.py

[ -f "$generator" ] || { echo "gen_orders.py not found under $shared/bench" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "the sqlite3 tool is missing (tools/setup.sh)" >&2; exit 2; }

echo "== building (Release) in $work/build"
cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" --target "$bench_target" >/dev/null

db=$work/orders$rows.db
[ -f "$db" ] || python3 "$generator" "$db" "$rows"
export QT_QPA_PLATFORM=offscreen

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
