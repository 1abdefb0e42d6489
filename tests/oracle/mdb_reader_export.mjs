// Second independent reader for the oracle tests: mdb-reader (npm) writes every user table of a
// Jet file as CSV in the format quorla-sql --export promises, so that the test can compare the
// two field by field.
//
//   node mdb_reader_export.mjs FILE OUTDIR
//
// writes OUTDIR/tables.txt (user tables, one a line, in mdb-reader's order) and for the n-th table
// OUTDIR/<n>.csv (header and rows, CRLF) and OUTDIR/<n>.types (mdb-reader's column types, one a
// line). A table mdb-reader cannot read gets OUTDIR/<n>.error with its message instead.
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, outdir] = process.argv.slice(2);
mkdirSync(outdir, { recursive: true });

function csvText(s) {
  if (s === "" || /[,"\r\n]/.test(s)) return '"' + s.replaceAll('"', '""') + '"';
  return s;
}

function hex(buffer) {
  return buffer.length === 0 ? '""' : buffer.toString("hex").toUpperCase();
}

// Shortest decimal that reads back to the same single-precision value.
function shortestSingle(v) {
  for (let p = 1; p <= 9; p++) {
    const s = v.toPrecision(p);
    if (Math.fround(Number(s)) === v) return String(Number(s));
  }
  return String(v);
}

const pad = (n, w = 2) => String(n).padStart(w, "0");
const MS_PER_DAY = 86400000;
const JET_EPOCH_MS = -2209161600000; // 1899-12-30T00:00:00Z

function formatDate(date) {
  let ms = date.getTime();
  // mdb-reader converts the stored day count linearly (ms = (days - 25569) * 86400000), which is
  // wrong before 1899-12-30: there Jet's integer part counts days backwards while the fraction
  // still counts the time of day forwards (-1.25 is 1899-12-29 06:00, mdb-reader says
  // 1899-12-28 18:00). Recover the stored number and place it the way Jet means it.
  if (ms < JET_EPOCH_MS) {
    const days = (ms - JET_EPOCH_MS) / MS_PER_DAY;
    const whole = Math.trunc(days);
    const fraction = Math.abs(days - whole);
    ms = JET_EPOCH_MS + whole * MS_PER_DAY + Math.round(fraction * MS_PER_DAY);
  }
  const d = new Date(Math.round(ms / 1000) * 1000);
  return (
    `${pad(d.getUTCFullYear(), 4)}-${pad(d.getUTCMonth() + 1)}-${pad(d.getUTCDate())} ` +
    `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${pad(d.getUTCSeconds())}`
  );
}

function field(value, type) {
  if (value === null || value === undefined) return "";
  switch (type) {
    case "boolean":
      return value ? "True" : "False";
    case "float":
      return shortestSingle(value);
    case "datetime":
      return formatDate(value);
    case "binary":
    case "ole":
      return hex(value);
    case "repid":
      return "{" + value.toUpperCase() + "}";
    case "text":
    case "memo":
      return csvText(value);
    default: // byte, integer, long, double, currency and numeric (exact strings)
      return String(value);
  }
}

const reader = new MDBReader(readFileSync(file));
const names = reader.getTableNames({ normalTables: true, systemTables: false, linkedTables: false });
writeFileSync(`${outdir}/tables.txt`, names.map((n) => n + "\n").join(""));
names.forEach((name, n) => {
  try {
    const table = reader.getTable(name);
    const columns = table.getColumns();
    writeFileSync(`${outdir}/${n}.types`, columns.map((c) => c.type + "\n").join(""));
    const lines = [columns.map((c) => csvText(c.name)).join(",")];
    for (const row of table.getData()) {
      lines.push(columns.map((c) => field(row[c.name], c.type)).join(","));
    }
    writeFileSync(`${outdir}/${n}.csv`, lines.map((l) => l + "\r\n").join(""));
  } catch (e) {
    writeFileSync(`${outdir}/${n}.error`, String(e && e.message ? e.message : e) + "\n");
  }
});
