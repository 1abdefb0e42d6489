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
bench_vs_sqlite_start "${1:-}"

bench_vs_sqlite_case create_index "$q $work/run.mdb \"CREATE INDEX idx_ort ON orders (Ort)\"" \
  "sqlite3 $work/run.sqlite \"$durable CREATE INDEX idx_ort ON orders (Ort)\""
bench_vs_sqlite_case add_column "$q $work/run.mdb \"ALTER TABLE orders ADD COLUMN x LONG\"" \
  "sqlite3 $work/run.sqlite \"$durable ALTER TABLE orders ADD COLUMN x INTEGER\""
