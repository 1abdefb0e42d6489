#!/usr/bin/env bash
# The window's memory on large results, on copies of the benchmark file:
# - the same 100,000-row statement run again and again: the resident set after the first and
#   after the fifth run. A new result must give back the memory of the old one, so the two
#   figures agree within 10 %.
# - the peak resident set of one run on the file and on a copy grown to ten times its rows
#   (as bench/result_memory.sh grows it). Records beyond a few MB wait in a temporary file, so
#   the two peaks should agree within 10 %. What still grows with the rows is the table view's
#   row header, which keeps 8 bytes for every row (about 7 MiB more for the larger file).
# Usage: bench/window_memory.sh [path/to/orders-100k.mdb] [statement]
# BUILD_DIR picks another build tree (default build/release); LARGE_MDB names a grown copy
# made before, to skip growing one.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
statement=${2:-select * from orders}
bench_build window_memory -DQUORLA_BENCH=ON
bench_quorla_sql
bench_work_dir
cp "$mdb" "$work/bench.mdb"
cp "${LARGE_MDB:-$mdb}" "$work/large.mdb"
chmod u+w "$work/bench.mdb" "$work/large.mdb"

grow() {  # adds nine copies of the rows of orders to large.mdb
  local cols="OrderID, ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
  local rest="ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
  local max_id
  max_id=$("$q" --csv "$work/bench.mdb" "SELECT Max(OrderID) FROM orders" | tail -n 1)
  for k in 1 2 3 4 5 6 7 8 9; do
    "$q" "$work/large.mdb" "INSERT INTO orders ($cols) SELECT OrderID + $k * $max_id, $rest
      FROM orders WHERE OrderID <= $max_id" 2>/dev/null
  done
}
[ -n "${LARGE_MDB:-}" ] || grow

run() {  # run FILE RUNS OUT: the window on FILE, RUNS runs of the statement
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$build/bench/window_memory" "$1" "$2" "$statement" | tee "$3"
}
run "$work/bench.mdb" 5 "$work/repeat.txt"
run "$work/bench.mdb" 1 "$work/small.txt"
run "$work/large.mdb" 1 "$work/large.txt"
python3 - "$work/repeat.txt" "$work/small.txt" "$work/large.txt" <<'PY'
import sys

def figures(path):
    rss, peak = {}, None
    for line in open(path):
        parts = line.split()
        if parts and parts[0] == "run":
            rss[int(parts[1])] = (float(parts[2]), " ".join(parts[4:]))
        elif parts and parts[0] == "peak":
            peak = float(parts[1])
    return rss, peak

runs, _ = figures(sys.argv[1])
small, small_peak = figures(sys.argv[2])
large, large_peak = figures(sys.argv[3])
one, five = runs[1][0], runs[max(runs)][0]
repeat = five / one
print(f"after 1 run {one:.1f} MiB, after {max(runs)} runs {five:.1f} MiB, ratio {repeat:.3f}")
grow = large_peak / small_peak
print(f"peak for {small[1][1]} records x fields: {small_peak:.1f} MiB")
print(f"peak for {large[1][1]} records x fields: {large_peak:.1f} MiB, ratio {grow:.3f}")
sys.exit(0 if abs(repeat - 1) <= 0.10 and abs(grow - 1) <= 0.10 else 1)
PY
