#!/usr/bin/env bash
# The window's memory when the same 100,000-row statement is run again and again: the resident
# set after the first and after the fifth run, on a copy of the benchmark file. A new result
# must give back the memory of the old one, so the two figures agree within 10 %.
# Usage: bench/window_memory.sh [path/to/orders-100k.mdb] [statement]
# BUILD_DIR picks another build tree (default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
statement=${2:-select * from orders}
bench_build window_memory -DQUORLA_BENCH=ON
bench_work_dir
cp "$mdb" "$work/bench.mdb"
chmod u+w "$work/bench.mdb"

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$build/bench/window_memory" "$work/bench.mdb" 5 "$statement" | tee "$work/out.txt"
python3 - "$work/out.txt" <<'PY'
import sys
rss = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if parts and parts[0] == "run":
        rss[int(parts[1])] = float(parts[2])
one, five = rss[1], rss[max(rss)]
ratio = five / one
print(f"after 1 run {one:.1f} MiB, after {max(rss)} runs {five:.1f} MiB, ratio {ratio:.3f}")
sys.exit(0 if abs(ratio - 1) <= 0.10 else 1)
PY
