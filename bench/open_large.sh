#!/usr/bin/env bash
# Time of opening a large file and listing its tables: quorla-sql --tables on a copy of the
# benchmark file grown to ten times its rows (about 300 MB), and on the file itself.
# Usage: bench/open_large.sh [path/to/orders-100k.mdb]
# Environment: QUORLA_SQL=path runs that binary instead of building one; RUNS (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
bench_need_hyperfine
bench_quorla_sql
bench_work_dir
cp "$mdb" "$work/large.mdb"
chmod u+w "$work/large.mdb"
bench_grow_tenfold "$work/large.mdb"

printf '%-10s %8s %10s %10s\n' file size_mb wall_ms cpu_ms
for f in "$mdb" "$work/large.mdb"; do
  hyperfine -N -w 2 -r "${RUNS:-10}" --export-json "$work/r.json" "$q $f --tables" >/dev/null 2>&1
  python3 - "$work/r.json" "$f" <<'PY'
import json, os, sys
r = json.load(open(sys.argv[1]))["results"][0]
name = "large" if sys.argv[2].endswith("large.mdb") else "bench"
mb = os.path.getsize(sys.argv[2]) / 1e6
print(f"{name:<10} {mb:8.0f} {r['mean'] * 1000:10.2f} {(r['user'] + r['system']) * 1000:10.2f}")
PY
done
