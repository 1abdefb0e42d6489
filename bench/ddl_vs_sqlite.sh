#!/usr/bin/env bash
# Times data definition on the table `orders` of the benchmark file (100,000 rows) through
# quorla-sql, against the same data in a native SQLite file changed by the sqlite3 shell: an index
# built over every row, and a column added. Both durable (SQLite: synchronous=FULL,
# journal_mode=DELETE). Each run starts from a fresh copy of both files.
# Prints, per case, the mean wall and CPU (user + system) times of each and their ratios
# (quorla / sqlite).
# Usage: bench/ddl_vs_sqlite.sh [path/to/orders-100k.mdb]
# Environment: QUORLA_SQL=path runs that binary instead of building one; RUNS (default 5) and
# WARMUP (default 1) set hyperfine's counts; CASES (e.g. "create_index") picks cases.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
runs=${RUNS:-5}
warmup=${WARMUP:-1}
bench_need_hyperfine
if [ -n "${QUORLA_SQL:-}" ]; then
  q=$(realpath "$QUORLA_SQL")
else
  bench_quorla_sql
fi
bench_work_dir
cp "$mdb" "$work/orig.mdb"
chmod u+w "$work/orig.mdb"
native=$work/orig.sqlite
bench_native_copy "$mdb" "$native"
durable="PRAGMA synchronous=FULL; PRAGMA journal_mode=DELETE;"

names=(create_index add_column)
statements=(
  "CREATE INDEX idx_ort ON orders (Ort)"
  "ALTER TABLE orders ADD COLUMN x LONG"
)
lite=(
  "CREATE INDEX idx_ort ON orders (Ort)"
  "ALTER TABLE orders ADD COLUMN x INTEGER"
)

prepare="cp $work/orig.mdb $work/run.mdb && cp $native $work/run.sqlite"
echo "load: $(uptime)"
printf '%-14s %10s %10s %7s %10s %10s %7s\n' case quorla_ms sqlite_ms ratio q_cpu_ms s_cpu_ms ratio
for i in "${!names[@]}"; do
  if [ -n "${CASES:-}" ] && [[ " $CASES " != *" ${names[$i]} "* ]]; then continue; fi
  ours="$q $work/run.mdb \"${statements[$i]}\""
  theirs="sqlite3 $work/run.sqlite \"$durable ${lite[$i]}\""
  hyperfine -w "$warmup" -r "$runs" --prepare "$prepare" --export-json "$work/r.json" "$ours" "$theirs" \
    >/dev/null 2>&1 || { echo "${names[$i]}: failed"; continue; }
  python3 - "$work/r.json" "${names[$i]}" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
a, b = r[0]["mean"] * 1000, r[1]["mean"] * 1000
ca = (r[0]["user"] + r[0]["system"]) * 1000
cb = (r[1]["user"] + r[1]["system"]) * 1000
print(f"{sys.argv[2]:<14} {a:10.1f} {b:10.1f} {a / b:7.2f} {ca:10.1f} {cb:10.1f} {ca / cb:7.2f}")
PY
done
