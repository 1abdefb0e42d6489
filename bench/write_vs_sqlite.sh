#!/usr/bin/env bash
# Times action statements on the table `orders` of the benchmark file through quorla-sql, against
# the same data in a native SQLite file with the same indexes, changed by the sqlite3 shell. Every
# statement is durable on both sides (SQLite: synchronous=FULL, journal_mode=DELETE; each of the
# single-row inserts is its own transaction). Each run starts from a fresh copy of both files.
# Prints, per case, the mean wall time of each and their ratio (quorla / sqlite).
# Usage: bench/write_vs_sqlite.sh [path/to/orders-100k.mdb]
# Environment: QUORLA_SQL=path runs that binary instead of building one; RUNS (default 5) and
# WARMUP (default 1) set hyperfine's counts; CASES (e.g. "update_all delete_half") picks cases.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench_vs_sqlite_start "${1:-}"

cols="OrderID, ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
rest="ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
with open(f"{work}/inserts.jet.sql", "w") as jet, open(f"{work}/inserts.lite.sql", "w") as lite:
    lite.write("PRAGMA synchronous=FULL;\nPRAGMA journal_mode=DELETE;\n")
    for i in range(10000):
        key = 2000000 + i
        values = f"{key}, {i % 80 + 1}, {i % 500}, {i * 0.25}, {i % 1000}.5, 'Kunde {i % 977}', 'Ort {i % 50}'"
        jet.write(f"INSERT INTO orders (OrderID, ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt) VALUES ({values}, #2026-12-07#, True);\n")
        lite.write(f"INSERT INTO orders (OrderID, ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt) VALUES ({values}, '2026-12-07 00:00:00', 1);\n")
PY

names=(insert_select update_all delete_half insert_10000)
jet=(
  "INSERT INTO orders ($cols) SELECT OrderID + 1000000, $rest FROM orders"
  "UPDATE orders SET Menge = Menge + 1"
  "DELETE FROM orders WHERE OrderID Mod 2 = 0"
  ""
)
lite=(
  "INSERT INTO orders ($cols) SELECT OrderID + 1000000, $rest FROM orders"
  "UPDATE orders SET Menge = Menge + 1"
  "DELETE FROM orders WHERE OrderID % 2 = 0"
  ""
)

for i in "${!names[@]}"; do
  if [ -n "${jet[$i]}" ]; then
    ours="$q $work/run.mdb \"${jet[$i]}\""
    theirs="sqlite3 $work/run.sqlite \"$durable ${lite[$i]}\""
  else
    ours="sh -c '$q $work/run.mdb < $work/inserts.jet.sql'"
    theirs="sh -c 'sqlite3 $work/run.sqlite < $work/inserts.lite.sql'"
  fi
  bench_vs_sqlite_case "${names[$i]}" "$ours" "$theirs"
done
