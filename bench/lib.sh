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

bench_quorla_sql() {  # sets q to the binary QUORLA_SQL names, else to a freshly built quorla-sql
  if [ -n "${QUORLA_SQL:-}" ]; then
    q=$(realpath "$QUORLA_SQL")
    return
  fi
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

# The start of the scripts that time statements against SQLite: hyperfine, quorla-sql (q; the
# binary QUORLA_SQL names, else a fresh build), a work folder (work) with a writable copy of the
# benchmark file (work/orig.mdb), the same data as a native SQLite file (native), the pragmas
# that make SQLite durable (durable), hyperfine's counts (runs, warmup from RUNS, WARMUP) and
# prepare, which gives each run fresh copies (work/run.mdb, work/run.sqlite).
bench_vs_sqlite_start() {  # bench_vs_sqlite_start [MDB]
  local mdb=${1:-../shared/jet-samples/bench/orders-100k.mdb}
  runs=${RUNS:-5}
  warmup=${WARMUP:-1}
  bench_need_hyperfine
  bench_quorla_sql
  bench_work_dir
  cp "$mdb" "$work/orig.mdb"
  chmod u+w "$work/orig.mdb"
  native=$work/orig.sqlite
  bench_native_copy "$mdb" "$native"
  durable="PRAGMA synchronous=FULL; PRAGMA journal_mode=DELETE;"
  prepare="cp $work/orig.mdb $work/run.mdb && cp $native $work/run.sqlite"
  echo "load: $(uptime)"
  # Wall time is what counts; CPU time (user + system) tells more on a loaded machine.
  printf '%-14s %10s %10s %7s %10s %10s %7s\n' case quorla_ms sqlite_ms ratio q_cpu_ms s_cpu_ms ratio
}

bench_vs_sqlite_case() {  # bench_vs_sqlite_case NAME OURS THEIRS: times both, prints a row
  local name=$1 ours=$2 theirs=$3
  if [ -n "${CASES:-}" ] && [[ " $CASES " != *" $name "* ]]; then return 0; fi
  hyperfine -w "$warmup" -r "$runs" --prepare "$prepare" --export-json "$work/r.json" "$ours" "$theirs" \
    >/dev/null 2>&1 || { echo "$name: failed"; return 0; }
  python3 - "$work/r.json" "$name" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
a, b = r[0]["mean"] * 1000, r[1]["mean"] * 1000
ca = (r[0]["user"] + r[0]["system"]) * 1000
cb = (r[1]["user"] + r[1]["system"]) * 1000
print(f"{sys.argv[2]:<14} {a:10.1f} {b:10.1f} {a / b:7.2f} {ca:10.1f} {cb:10.1f} {ca / cb:7.2f}")
PY
}
