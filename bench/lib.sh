# Setup shared by the benchmark scripts; source it after `cd` to the repository's top.
# BUILD_DIR picks another build tree (default build/release, configured as Release).

bench_build() {  # bench_build TARGET [cmake options...]: configures and builds one target
  local target=$1
  shift
  build=${BUILD_DIR:-build/release}
  if [[ -z ${BUILD_DIR:-} ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  elif (($# > 0)); then
    cmake -S . -B "$build" "$@" >/dev/null
  fi
  cmake --build "$build" --target "$target" -j2 >/dev/null
}

bench_quorla_sql() {  # sets q to the absolute path of a freshly built quorla-sql
  bench_build quorla-sql "$@"
  q=$PWD/$build/tools/quorla-sql
}

bench_need_hyperfine() {
  command -v hyperfine >/dev/null || apt-get install -y -q hyperfine >/dev/null
}

bench_work_dir() {  # sets work to a temporary folder removed on exit
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

bench_native_copy() {  # bench_native_copy MDB SQLITE: orders and artikel as a native SQLite file
  local mdb=$1 native=$2
  {
    echo "CREATE TABLE orders (OrderID INTEGER PRIMARY KEY, ArtikelNr INTEGER, Menge INTEGER,"
    echo "  Gewicht REAL, Betrag REAL, Kunde TEXT, Ort TEXT, Bestelldatum TEXT, Bezahlt INTEGER,"
    echo "  Bemerkung TEXT);"
    echo "CREATE TABLE artikel (ArtikelNr INTEGER, Bezeichnung TEXT, Preis REAL, Bestand INTEGER,"
    echo "  Angelegt TEXT, Beschreibung TEXT, Aktiv INTEGER);"
    echo "CREATE INDEX idxKunde ON orders(Kunde);"
    echo "CREATE INDEX idxBestelldatum ON orders(Bestelldatum);"
    echo "BEGIN;"
    mdb-export -I sqlite -D '%Y-%m-%d %H:%M:%S' "$mdb" orders
    mdb-export -I sqlite -D '%Y-%m-%d %H:%M:%S' "$mdb" artikel
    echo "COMMIT;"
  } | sqlite3 "$native"
}

bench_grow_tenfold() {  # bench_grow_tenfold MDB: adds the rows of orders nine times more, by quorla-sql
  local mdb=$1
  local cols="OrderID, ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
  local rest="ArtikelNr, Menge, Gewicht, Betrag, Kunde, Ort, Bestelldatum, Bezahlt, Bemerkung"
  local max_id k
  max_id=$("$q" --csv "$mdb" "SELECT Max(OrderID) FROM orders" | tail -n 1)
  for k in 1 2 3 4 5 6 7 8 9; do
    "$q" "$mdb" "INSERT INTO orders ($cols) SELECT OrderID + $k * $max_id, $rest
      FROM orders WHERE OrderID <= $max_id" 2>/dev/null
  done
}

bench_start() {  # the usual start: hyperfine, a fresh quorla-sql (q) and a work folder (work)
  bench_need_hyperfine
  bench_quorla_sql
  bench_work_dir
}
