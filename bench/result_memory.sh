#!/usr/bin/env bash
# Peak memory of quorla-sql printing every row of `orders` as CSV: on a copy of the benchmark file
# and on a copy grown by quorla-sql itself to ten times its rows. Rows are written out as they
# are read, so the two peaks agree within 10 %.
# Usage: bench/result_memory.sh [path/to/orders-100k.mdb]
# Environment: QUORLA_SQL=path runs that binary instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
bench_quorla_sql
bench_work_dir
cp "$mdb" "$work/small.mdb"
cp "$mdb" "$work/large.mdb"
chmod u+w "$work/small.mdb" "$work/large.mdb"

bench_grow_tenfold "$work/large.mdb"

peak() {  # the rows of orders in $1 and the peak resident set in KiB of exporting them all
  /usr/bin/time -f %M -o "$work/time.txt" "$q" --csv "$1" "SELECT * FROM orders" >/dev/null
  echo "$("$q" --csv "$1" "SELECT Count(*) FROM orders" | tail -n 1) $(cat "$work/time.txt")"
}
read -r small_rows small_kib < <(peak "$work/small.mdb")
read -r large_rows large_kib < <(peak "$work/large.mdb")
python3 - "$small_rows" "$small_kib" "$large_rows" "$large_kib" <<'PY'
import sys
small_rows, small_kib, large_rows, large_kib = map(int, sys.argv[1:])
ratio = large_kib / small_kib
print(f"{small_rows} rows: peak {small_kib / 1024:.1f} MiB")
print(f"{large_rows} rows: peak {large_kib / 1024:.1f} MiB")
print(f"ratio {ratio:.3f}")
sys.exit(0 if abs(ratio - 1) <= 0.10 else 1)
PY
