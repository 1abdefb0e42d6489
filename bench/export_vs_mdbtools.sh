#!/usr/bin/env bash
# Benchmark (not a test): quorla-sql --export of the table `orders` (100,000 rows) against mdb-export
# of the same table, in one run. Prints wall time and peak memory of both and their ratios.
# Usage: bench/export_vs_mdbtools.sh [FILE.mdb [TABLE]]
set -euo pipefail
cd "$(dirname "$0")/.."
file=${1:-$(cd .. && pwd)/shared/jet-samples/bench/orders-100k.mdb}
table=${2:-orders}
runs=${BENCH_RUNS:-5}
[ -f "$file" ] || { echo "no benchmark file: $file" >&2; exit 1; }

source bench/lib.sh
bench_quorla_sql -DQUORLA_GUI=OFF
ours=("$q" "$file" --export "$table")
theirs=(mdb-export -0 NULL -b hex -T '%Y-%m-%d %H:%M:%S' "$file" "$table")

# Same table, same number of lines (memo fields may hold line breaks, so count CSV records loosely).
echo "quorla-sql: $("${ours[@]}" | wc -c) bytes; mdb-export: $("${theirs[@]}" | wc -c) bytes"

quote() { printf '%q ' "$@"; }
json=$(mktemp)
trap 'rm -f "$json"' EXIT
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs "$runs" --style basic --export-json "$json" \
    -n quorla-sql "$(quote "${ours[@]}") >/dev/null" \
    -n mdb-export "$(quote "${theirs[@]}") >/dev/null" >&2
  read -r wall_ours wall_theirs < <(python3 -c '
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
print(r["quorla-sql"]["median"], r["mdb-export"]["median"])' "$json")
  # CPU time (user + system) says more than wall time on a busy machine.
  python3 -c '
import json, sys
r = {x["command"]: x["user"] + x["system"] for x in json.load(open(sys.argv[1]))["results"]}
o, t = r["quorla-sql"], r["mdb-export"]
print(f"cpu time    quorla-sql {o:7.3f} s   mdb-export {t:7.3f} s   mdb-export/quorla-sql {t / o:5.1f}x")
' "$json"
else
  median_wall() {
    for _ in $(seq "$runs"); do /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -1; done |
      sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
  }
  wall_ours=$(median_wall "${ours[@]}")
  wall_theirs=$(median_wall "${theirs[@]}")
fi

peak_kb() {  # highest peak RSS over three runs
  for _ in 1 2 3; do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; done | sort -n | tail -1
}
rss_ours=$(peak_kb "${ours[@]}")
rss_theirs=$(peak_kb "${theirs[@]}")

python3 - "$wall_ours" "$wall_theirs" "$rss_ours" "$rss_theirs" <<'PY'
import sys
wo, wt, ro, rt = (float(x) for x in sys.argv[1:])
print(f"wall time   quorla-sql {wo:7.3f} s   mdb-export {wt:7.3f} s   mdb-export/quorla-sql {wt / wo:5.1f}x")
print(f"peak memory quorla-sql {ro / 1024:7.1f} MB  mdb-export {rt / 1024:7.1f} MB  "
      f"quorla-sql/mdb-export {ro / rt:5.2f}")
PY
