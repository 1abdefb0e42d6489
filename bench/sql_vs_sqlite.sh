#!/usr/bin/env bash
# Times a fixed set of queries on the table `orders` of the benchmark file through quorla-sql,
# against the same data loaded into a native SQLite file and queried by the sqlite3 shell.
# Prints, per query, the mean wall time of each and their ratio (quorla / sqlite).
# Usage: bench/sql_vs_sqlite.sh [path/to/orders-100k.mdb]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
bench_start
native=$work/orders.sqlite
bench_native_copy "$mdb" "$native"

names=(scan_filter group_by join top_n key_lookup like)
jet=(
  "SELECT OrderID, Kunde, Betrag FROM orders WHERE Menge > 400"
  "SELECT Ort, Count(*) AS n, Sum(Betrag) AS s, Avg(Menge) AS m FROM orders GROUP BY Ort"
  "SELECT a.Bezeichnung, Sum(o.Menge) AS m FROM orders AS o INNER JOIN artikel AS a ON o.ArtikelNr = a.ArtikelNr GROUP BY a.Bezeichnung"
  "SELECT TOP 10 OrderID, Betrag FROM orders ORDER BY Betrag DESC"
  "SELECT * FROM orders WHERE OrderID = 54321"
  "SELECT Count(*) AS n FROM orders WHERE Kunde Like '*Müller*'"
)
lite=(
  "SELECT OrderID, Kunde, Betrag FROM orders WHERE Menge > 400"
  "SELECT Ort, Count(*) AS n, Sum(Betrag) AS s, Avg(Menge) AS m FROM orders GROUP BY Ort"
  "SELECT a.Bezeichnung, Sum(o.Menge) AS m FROM orders AS o INNER JOIN artikel AS a ON o.ArtikelNr = a.ArtikelNr GROUP BY a.Bezeichnung"
  "SELECT OrderID, Betrag FROM orders ORDER BY Betrag DESC LIMIT 10"
  "SELECT * FROM orders WHERE OrderID = 54321"
  "SELECT Count(*) AS n FROM orders WHERE Kunde LIKE '%Müller%'"
)

printf '%-12s %12s %12s %8s\n' query quorla_ms sqlite_ms ratio
for i in "${!names[@]}"; do
  hyperfine -N -w 2 -r 10 --export-json "$work/r.json" \
    "$q --csv $mdb \"${jet[$i]}\"" "sqlite3 -csv $native \"${lite[$i]}\"" >/dev/null 2>&1 ||
    { echo "${names[$i]}: failed"; continue; }
  python3 - "$work/r.json" "${names[$i]}" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
a, b = r[0]["mean"] * 1000, r[1]["mean"] * 1000
print(f"{sys.argv[2]:<12} {a:12.2f} {b:12.2f} {a / b:8.2f}")
PY
done
