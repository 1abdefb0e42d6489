#!/usr/bin/env bash
# Times a fixed set of queries on the table `orders` of the benchmark file through quorla-sql,
# against the same data loaded into a native SQLite file and queried by the sqlite3 shell.
# Prints, per query, the mean wall time and the mean CPU time (user + system) of each, and their
# ratios (quorla / sqlite). On a shared machine the CPU ratio is the steadier figure.
# Usage: bench/sql_vs_sqlite.sh [path/to/orders-100k.mdb]
# The last case, open_and_list, opens the file and lists its tables (--tables against .tables).
# QUORLA_SQL=path times that quorla-sql instead of building one; ONLY="like top_n" picks queries.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
bench_start
native=$work/orders.sqlite
bench_native_copy "$mdb" "$native"

names=(scan_filter group_by join top_n key_lookup like text_range ordered)
jet=(
  "SELECT OrderID, Kunde, Betrag FROM orders WHERE Menge > 400"
  "SELECT Ort, Count(*) AS n, Sum(Betrag) AS s, Avg(Menge) AS m FROM orders GROUP BY Ort"
  "SELECT a.Bezeichnung, Sum(o.Menge) AS m FROM orders AS o INNER JOIN artikel AS a ON o.ArtikelNr = a.ArtikelNr GROUP BY a.Bezeichnung"
  "SELECT TOP 10 OrderID, Betrag FROM orders ORDER BY Betrag DESC"
  "SELECT * FROM orders WHERE OrderID = 54321"
  "SELECT Count(*) AS n FROM orders WHERE Kunde Like '*Müller*'"
  "SELECT OrderID, Kunde FROM orders WHERE Kunde Between 'Schr' And 'Schs'"
  "SELECT TOP 20 OrderID, Bestelldatum FROM orders WHERE Bestelldatum >= #2023-01-01# ORDER BY Bestelldatum"
)
lite=(
  "SELECT OrderID, Kunde, Betrag FROM orders WHERE Menge > 400"
  "SELECT Ort, Count(*) AS n, Sum(Betrag) AS s, Avg(Menge) AS m FROM orders GROUP BY Ort"
  "SELECT a.Bezeichnung, Sum(o.Menge) AS m FROM orders AS o INNER JOIN artikel AS a ON o.ArtikelNr = a.ArtikelNr GROUP BY a.Bezeichnung"
  "SELECT OrderID, Betrag FROM orders ORDER BY Betrag DESC LIMIT 10"
  "SELECT * FROM orders WHERE OrderID = 54321"
  "SELECT Count(*) AS n FROM orders WHERE Kunde LIKE '%Müller%'"
  "SELECT OrderID, Kunde FROM orders WHERE Kunde BETWEEN 'Schr' AND 'Schs'"
  "SELECT OrderID, Bestelldatum FROM orders WHERE Bestelldatum >= '2023-01-01' ORDER BY Bestelldatum LIMIT 20"
)

printf '%-12s %10s %10s %7s %10s %10s %7s\n' query quorla_ms sqlite_ms ratio \
  quorla_cpu sqlite_cpu cpu_rat
report() {  # report NAME: one line from hyperfine's results in $work/r.json
  python3 - "$work/r.json" "$1" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
a, b = r[0]["mean"] * 1000, r[1]["mean"] * 1000
ca, cb = ((x["user"] + x["system"]) * 1000 for x in r)
print(f"{sys.argv[2]:<12} {a:10.2f} {b:10.2f} {a / b:7.2f} {ca:10.2f} {cb:10.2f} {ca / cb:7.2f}")
PY
}
runs=${RUNS:-10}
for i in "${!names[@]}"; do
  [[ -z ${ONLY:-} || " $ONLY " == *" ${names[$i]} "* ]] || continue
  hyperfine -N -w 2 -r "$runs" --export-json "$work/r.json" \
    "$q --csv $mdb \"${jet[$i]}\"" "sqlite3 -csv $native \"${lite[$i]}\"" >/dev/null 2>&1 ||
    { echo "${names[$i]}: failed"; continue; }
  report "${names[$i]}"
done
if [[ -z ${ONLY:-} || " $ONLY " == *" open_and_list "* ]]; then
  if hyperfine -N -w 2 -r "$runs" --export-json "$work/r.json" "$q $mdb --tables" \
    "sqlite3 $native .tables" >/dev/null 2>&1; then
    report open_and_list
  else
    echo "open_and_list: failed"
  fi
fi
