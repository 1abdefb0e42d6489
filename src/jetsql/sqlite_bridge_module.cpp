// The virtual-table module "jet": a Jet table seen from SQLite. A scan walks the table in storage
// order; an equality or range constraint on the leading column of one of the table's indexes
// walks that index instead and reads only the rows it points at (a batch at a time in page order
// when SQLite does not need the index's order). Constraints are never marked
// as handled: the index walk may return a few rows too many (case-insensitive text keys,
// rounded bounds, text bounds widened to their letters and digits, text_bounds.h) and SQLite
// checks every constraint again. An ORDER BY on the leading column of an index on numbers or
// dates is answered by walking that index; text indexes leave trailing spaces out of their keys,
// so their order is not quite SQLite's and text is sorted by SQLite.
// Columns are decoded only when SQLite asks for them, once per row; rows read by id keep only the
// columns the statement uses (xBestIndex's colUsed, passed to xFilter in idxStr). A condition
// `jet_like_column(column, pattern)` (like.h) is handed to the table, which passes over the rows
// that fail it before SQLite sees them.

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/column_kind.h"
#include "jetsql/like.h"
#include "jetsql/row_address.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/text_bounds.h"

namespace jetsql {

void LikeColumnFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv);

namespace {

// xBestIndex's plan, packed into idxNum: the index number and which bounds are passed.
constexpr int kIndexMask = 0xFFFF;
constexpr int kPlanUsesIndex = 1 << 16;
constexpr int kPlanEq = 1 << 17;
constexpr int kPlanLower = 1 << 18;
constexpr int kPlanUpper = 1 << 19;
constexpr int kPlanOrdered = 1 << 20;  // the rows must come in the index's order
constexpr int kRowIdPageShift = 16;
// The constraint operator xFindFunction gives jet_like_column.
constexpr int kLikeConstraint = SQLITE_INDEX_CONSTRAINT_FUNCTION;

// The module's client data: what every table of the connection reads from.
struct ModuleData {
  jet::Database* database;
  PendingError* pending;
};

struct JetVtab {
  sqlite3_vtab base{};  // must come first: SQLite casts between the two
  jet::Database* database = nullptr;
  std::shared_ptr<jet::Database> other;  // set when the table lies in another file
  PendingError* pending = nullptr;
  std::string table;
  std::shared_ptr<const jet::TableDef> def;
  std::vector<int> readable;  // per index: -1 not tried yet, 0 fails to open, 1 opens
  FunctionData like_data{nullptr, nullptr};  // jet_like_column's, when SQLite calls it
};

// A Like condition the cursor checks itself; the pattern is compiled at the first row, so that a
// pattern Like refuses fails only when there is a row to compare, as it does in SQLite.
struct LikeFilter {
  size_t column = 0;
  bool null_pattern = false;
  std::string text;
  std::optional<LikePattern> pattern;
};

// Rows read by id are kept for later lookups by the same cursor (an inner join looks up the same
// few rows of a small table again and again), up to this many.
constexpr size_t kRowCacheLimit = 4096;
constexpr size_t kEqMemoLimit = 4096;
constexpr size_t kEqMemoMaxRows = 1024;
// A range walk whose order SQLite does not need takes this many row ids from the index at a time
// and reads their rows in page order: each data page is read once per batch, in file order.
constexpr size_t kRangeBatch = 4096;

// The columns a statement uses, as xBestIndex's colUsed marks them: bit i for column i < 63, bit
// 63 for every column from 63 on.
constexpr uint64_t kAllColumns = ~uint64_t{0};
constexpr int kLastColumnBit = 63;

bool ColumnUsed(uint64_t used, size_t column) {
  return (used >> std::min<size_t>(column, kLastColumnBit)) & 1;
}

// A row id as one number that sorts in page order.
uint64_t PackedId(jet::RowId id) {
  return (static_cast<uint64_t>(id.page) << kRowIdPageShift) | id.row;
}

jet::RowId UnpackedId(uint64_t packed) {
  return {static_cast<uint32_t>(packed >> kRowIdPageShift), static_cast<uint16_t>(packed)};
}

struct JetCursor {
  sqlite3_vtab_cursor base{};
  JetVtab* vtab = nullptr;
  std::unique_ptr<jet::TableCursor> scan;
  // Reads the rows an index walk leads to; opened at the first walk.
  std::unique_ptr<jet::RowReader> reader;
  bool reader_at_row = false;  // the reader is at the current row of an index walk
  std::unique_ptr<jet::IndexCursor> index;
  // The index cursor stays open between filters; it is reopened only for another index.
  std::unique_ptr<jet::IndexCursor> open_index;
  int open_index_number = -1;
  bool index_unreadable = false;
  std::unordered_map<uint64_t, std::shared_ptr<const std::vector<jet::Value>>> row_cache;
  // The current row of an equality lookup, with the columns in `columns_used` decoded.
  std::shared_ptr<const std::vector<jet::Value>> row;
  uint64_t columns_used = kAllColumns;
  // Equality lookups collect their row ids at once and remember them by key, so an inner join
  // that looks up the same keys again does not walk the index again.
  bool id_mode = false;
  std::vector<jet::RowId> ids;
  size_t id_pos = 0;
  std::unordered_map<std::string, std::vector<jet::RowId>> eq_memo;
  // A range walk in page order: the batch of row ids taken from the index, packed (PackedId)
  // and sorted.
  bool batch_mode = false;
  std::vector<uint64_t> batch;
  size_t batch_pos = 0;
  std::vector<jet::Value> eq_key, upper_key;
  // One value per column, read into again row after row so that text keeps its buffer; a value
  // whose stamp is the row's was read for the current row already.
  std::vector<jet::Value> scan_values;
  std::vector<uint32_t> value_stamps;
  uint32_t row_stamp = 1;
  bool has_eq = false, has_upper = false;
  bool upper_exclusive = false;  // a text upper bound: stop at the first key at or after it
  std::vector<LikeFilter> likes;
  bool eof = true;
};

// The cursor moved to another row: values read for the last one are stale.
void NewRow(JetCursor* c) {
  if (++c->row_stamp == 0) {
    std::fill(c->value_stamps.begin(), c->value_stamps.end(), 0);
    c->row_stamp = 1;
  }
}

// Fails a table callback with the exception being handled. Call only inside a catch block.
int Fail(JetVtab* vtab) {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  } catch (...) {
    jet::Error e = CurrentError();
    if (vtab->pending) vtab->pending->Keep(e);
    sqlite3_free(vtab->base.zErrMsg);
    vtab->base.zErrMsg = sqlite3_mprintf("%s", e.description().c_str());
    return SQLITE_ERROR;
  }
}

std::string Unquote(std::string s) {
  // Module arguments arrive as written: "Name", 'Name' or [Name].
  while (!s.empty() && (s.front() == ' ')) s.erase(s.begin());
  while (!s.empty() && (s.back() == ' ')) s.pop_back();
  if (s.size() >= 2 &&
      ((s.front() == '"' && s.back() == '"') || (s.front() == '\'' && s.back() == '\'') ||
       (s.front() == '[' && s.back() == ']'))) {
    char q = s.front();
    s = s.substr(1, s.size() - 2);
    if (q != '[') {
      std::string out;
      for (size_t i = 0; i < s.size(); ++i) {
        out.push_back(s[i]);
        if (s[i] == q && i + 1 < s.size() && s[i + 1] == q) ++i;
      }
      s = out;
    }
  }
  return s;
}

bool IsText(jet::ColumnType t) {
  return t == jet::ColumnType::kText || t == jet::ColumnType::kMemo;
}

// Types whose index order matches SQLite's order of the converted values.
bool OrderedLikeSqlite(jet::ColumnType t) {
  return (jet::IsNumberType(t) && t != jet::ColumnType::kNumeric) ||
         t == jet::ColumnType::kDateTime;
}

int Connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** err) {
  const auto* module = static_cast<const ModuleData*>(aux);
  try {
    auto vtab = std::make_unique<JetVtab>();
    vtab->database = module->database;
    vtab->pending = module->pending;
    vtab->like_data.pending = module->pending;
    vtab->table = argc >= 4 ? Unquote(argv[3]) : std::string();
    if (argc >= 5) {
      // A table of another Jet file (FROM t IN 'file'), which the database keeps open.
      vtab->other = module->database->OtherDatabase(Unquote(argv[4]));
      vtab->database = vtab->other.get();
    }
    vtab->def = vtab->database->GetTableDef(vtab->table);
    std::string ddl = "CREATE TABLE x(";
    for (size_t i = 0; i < vtab->def->columns.size(); ++i) {
      const jet::ColumnDef& col = vtab->def->columns[i];
      if (i) ddl += ", ";
      ddl += '"';
      for (char c : col.name) {
        ddl += c;
        if (c == '"') ddl += '"';
      }
      ddl += '"';
      if (IsText(col.type)) ddl += " COLLATE jet_general";
    }
    ddl += std::string(vtab->def->columns.empty() ? "" : ", ") + '"' + kRowAddressColumn +
           "\" HIDDEN)";
    int rc = sqlite3_declare_vtab(db, ddl.c_str());
    if (rc != SQLITE_OK) {
      *err = sqlite3_mprintf("%s", sqlite3_errmsg(db));
      return rc;
    }
    *out = &vtab.release()->base;
    return SQLITE_OK;
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  } catch (...) {
    jet::Error e = CurrentError();
    if (module->pending) module->pending->Keep(e);
    *err = sqlite3_mprintf("%s", e.description().c_str());
    return SQLITE_ERROR;
  }
}

int Disconnect(sqlite3_vtab* base) {
  std::unique_ptr<JetVtab> vtab(reinterpret_cast<JetVtab*>(base));
  sqlite3_free(base->zErrMsg);
  return SQLITE_OK;
}

struct Candidate {
  double cost = 0;
  double rows = 0;
  int plan = 0;
  int eq = -1, lower = -1, upper = -1;  // constraint numbers
  bool unique = false;
  bool ordered = false;  // rows come in the ORDER BY's order
};

// What sorting the rows would add to a plan, in the units of estimatedCost.
double SortCost(double rows) {
  return rows * std::log2(rows + 2);
}

// A plan's cost with the sort SQLite adds when the rows do not come in its ORDER BY's order.
double Effective(const Candidate& c, const sqlite3_index_info* info) {
  return c.cost + (info->nOrderBy > 0 && !c.ordered ? SortCost(c.rows) : 0);
}

// A range on a text column walks its index when the file is a Jet 4 file (whose text indexes are
// in the General order SQLite compares in) and SQLite compares in that order too.
bool TextRangeUsable(const JetVtab* vtab, sqlite3_index_info* info, int constraint) {
  const char* collation = sqlite3_vtab_collation(info, constraint);
  return vtab->database->version() == jet::JetVersion::kJet4 && collation &&
         std::strcmp(collation, "jet_general") == 0;
}

// Whether index `n` opens; a plan that promises its order must not fall back to a scan.
bool IndexReadable(JetVtab* vtab, size_t n) {
  if (vtab->readable.size() <= n) vtab->readable.resize(n + 1, -1);
  if (vtab->readable[n] < 0) {
    try {
      vtab->database->OpenIndex(vtab->table, static_cast<int>(n));
      vtab->readable[n] = 1;
    } catch (const jet::Error&) {
      vtab->readable[n] = 0;
    }
  }
  return vtab->readable[n] == 1;
}

// True when SQLite's ORDER BY is the index's leading column, ascending.
bool OrderedBy(const sqlite3_index_info* info, int column) {
  return info->nOrderBy == 1 && info->aOrderBy[0].iColumn == column && !info->aOrderBy[0].desc;
}

int BestIndex(sqlite3_vtab* base, sqlite3_index_info* info) {
  auto* vtab = reinterpret_cast<JetVtab*>(base);
  const jet::TableDef& def = *vtab->def;
  double rows = std::max<double>(def.row_count, 1);
  Candidate best;
  best.cost = rows;
  best.rows = rows;
  for (size_t n = 0; n < def.indexes.size(); ++n) {
    const jet::IndexDef& index = def.indexes[n];
    if (index.columns.empty() || !index.columns[0].ascending) continue;
    int column = index.columns[0].column;
    if (column < 0 || static_cast<size_t>(column) >= def.columns.size()) continue;
    jet::ColumnType type = def.columns[column].type;
    bool text = IsText(type);
    if (!text && !OrderedLikeSqlite(type)) continue;
    Candidate c;
    c.plan = kPlanUsesIndex | static_cast<int>(n);
    for (int i = 0; i < info->nConstraint; ++i) {
      const auto& con = info->aConstraint[i];
      if (!con.usable || con.iColumn != column) continue;
      switch (con.op) {
        case SQLITE_INDEX_CONSTRAINT_EQ:
          c.eq = i;
          break;
        case SQLITE_INDEX_CONSTRAINT_GT:
        case SQLITE_INDEX_CONSTRAINT_GE:
          if (!text || TextRangeUsable(vtab, info, i)) c.lower = i;
          break;
        case SQLITE_INDEX_CONSTRAINT_LT:
        case SQLITE_INDEX_CONSTRAINT_LE:
          if (!text || TextRangeUsable(vtab, info, i)) c.upper = i;
          break;
        default:
          break;
      }
    }
    bool whole_key_unique = (index.primary || index.unique) && index.columns.size() == 1;
    // Rows come in the index's order (Nulls first, as SQLite sorts them) when the walk is not
    // an equality lookup, which goes by row ids of one key, or a walk of a text index.
    bool ordered = !text && c.eq < 0 && OrderedBy(info, column) && IndexReadable(vtab, n);
    if (c.eq >= 0) {
      c.plan |= kPlanEq;
      c.lower = c.upper = -1;
      c.unique = whole_key_unique;
      c.rows = whole_key_unique ? 1 : std::max(1.0, rows / 50);
      c.cost = 2 * std::log2(rows + 1) + c.rows;
    } else if (c.lower >= 0 || c.upper >= 0) {
      if (c.lower >= 0) c.plan |= kPlanLower;
      if (c.upper >= 0) c.plan |= kPlanUpper;
      c.rows = (c.lower >= 0 && c.upper >= 0) ? rows / 10 : rows / 3;
      // Reading rows through an index costs more per row than a scan.
      c.cost = 2 * std::log2(rows + 1) + c.rows * 2;
    } else if (ordered) {
      c.rows = rows;
      c.cost = rows * 2;
    } else {
      continue;
    }
    c.ordered = ordered;
    if (ordered) c.plan |= kPlanOrdered;
    if (Effective(c, info) < Effective(best, info)) best = c;
  }
  info->estimatedCost = best.cost;
  info->estimatedRows = static_cast<sqlite3_int64>(best.rows);
  info->idxNum = best.plan;
  int next = 1;
  for (int con : {best.eq, best.lower, best.upper}) {
    if (con >= 0) info->aConstraintUsage[con].argvIndex = next++;
  }
  if (best.unique) info->idxFlags |= SQLITE_INDEX_SCAN_UNIQUE;
  if (best.ordered) info->orderByConsumed = 1;
  // idxStr: the columns used in hex, then the column of each Like the cursor checks, whose
  // patterns follow the index's bounds in xFilter's arguments.
  char used[17];
  std::snprintf(used, sizeof used, "%" PRIx64, static_cast<uint64_t>(info->colUsed));
  std::string plan_text = used;
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& con = info->aConstraint[i];
    if (!con.usable || con.op != kLikeConstraint || con.iColumn < 0 ||
        static_cast<size_t>(con.iColumn) >= def.columns.size() ||
        !IsText(def.columns[static_cast<size_t>(con.iColumn)].type) ||
        info->aConstraintUsage[i].argvIndex > 0) {
      continue;
    }
    info->aConstraintUsage[i].argvIndex = next++;
    info->aConstraintUsage[i].omit = 1;
    plan_text += "," + std::to_string(con.iColumn);
    info->estimatedRows = std::max<sqlite3_int64>(1, info->estimatedRows / 4);
  }
  info->idxStr = sqlite3_mprintf("%s", plan_text.c_str());
  if (!info->idxStr) return SQLITE_NOMEM;
  info->needToFreeIdxStr = 1;
  return SQLITE_OK;
}

int Open(sqlite3_vtab* base, sqlite3_vtab_cursor** out) {
  try {
    auto cursor = std::make_unique<JetCursor>();
    cursor->vtab = reinterpret_cast<JetVtab*>(base);
    *out = &cursor.release()->base;
    return SQLITE_OK;
  } catch (...) {
    return Fail(reinterpret_cast<JetVtab*>(base));
  }
}

int Close(sqlite3_vtab_cursor* base) {
  std::unique_ptr<JetCursor> cursor(reinterpret_cast<JetCursor*>(base));
  return SQLITE_OK;
}

jet::RowReader& Reader(JetCursor* c) {
  if (!c->reader) c->reader = c->vtab->database->OpenRowReader(c->vtab->table);
  return *c->reader;
}

// Reads the used columns of row `id` for an equality lookup, or takes them from the cache.
void LoadRow(JetCursor* c, jet::RowId id) {
  uint64_t key = PackedId(id);
  auto it = c->row_cache.find(key);
  if (it != c->row_cache.end()) {
    c->row = it->second;
  } else {
    jet::RowReader& reader = Reader(c);
    reader.Seek(id);
    c->reader_at_row = true;
    auto values = std::make_shared<std::vector<jet::Value>>(c->vtab->def->columns.size());
    for (size_t i = 0; i < values->size(); ++i) {
      if (ColumnUsed(c->columns_used, i)) reader.ReadValue(static_cast<int>(i), (*values)[i]);
    }
    c->row = std::move(values);
    if (c->row_cache.size() < kRowCacheLimit) c->row_cache.emplace(key, c->row);
  }
}

// Whether the index walk stands at an entry inside the bounds.
bool IndexInBounds(JetCursor* c) {
  return c->index->Valid() && !(c->has_eq && c->index->CompareKey(c->eq_key) != 0) &&
         !(c->has_upper && c->index->CompareKey(c->upper_key) > (c->upper_exclusive ? -1 : 0));
}

// Moves the index walk to the next entry inside the bounds, reading its row.
void SettleIndex(JetCursor* c) {
  if (!IndexInBounds(c)) {
    c->eof = true;
    c->row.reset();
    return;
  }
  NewRow(c);
  Reader(c).Seek(c->index->row_id());
  c->reader_at_row = true;
  c->eof = false;
}

// Moves a range walk in page order to its next row: the next of the batch, or the first of the
// next batch while the index has entries inside the bounds.
void SettleBatch(JetCursor* c) {
  if (c->batch_pos >= c->batch.size()) {
    c->batch.clear();
    c->batch_pos = 0;
    for (; c->batch.size() < kRangeBatch && IndexInBounds(c); c->index->Next()) {
      c->batch.push_back(PackedId(c->index->row_id()));
    }
    std::sort(c->batch.begin(), c->batch.end());
  }
  if (c->batch.empty()) {
    c->eof = true;
    c->row.reset();
    return;
  }
  NewRow(c);
  Reader(c).Seek(UnpackedId(c->batch[c->batch_pos]));
  c->reader_at_row = true;
  c->eof = false;
}

void SettleIds(JetCursor* c) {
  NewRow(c);
  c->reader_at_row = false;
  c->eof = c->id_pos >= c->ids.size();
  if (c->eof) {
    c->row.reset();
  } else {
    LoadRow(c, c->ids[c->id_pos]);
  }
}

// The memo key of an equality lookup: index number, storage class and bytes of the value.
std::string MemoKey(int index, sqlite3_value* v) {
  std::string key = std::to_string(index) + ":" + std::to_string(sqlite3_value_type(v)) + ":";
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      key += std::to_string(sqlite3_value_int64(v));
      break;
    case SQLITE_FLOAT: {
      double d = sqlite3_value_double(v);
      key.append(reinterpret_cast<const char*>(&d), sizeof d);
      break;
    }
    default:
      key.append(reinterpret_cast<const char*>(sqlite3_value_blob(v)),
                 static_cast<size_t>(sqlite3_value_bytes(v)));
  }
  return key;
}

void StartScan(JetCursor* c) {
  if (c->index) c->open_index = std::move(c->index);
  c->scan = c->vtab->database->Scan(c->vtab->table);
  NewRow(c);
  c->eof = !c->scan->Valid();
}

// A constraint value as a key for the index's leading column, or nothing if it cannot be one
// exactly enough (then the cursor scans instead).
bool KeyFor(sqlite3_value* v, jet::ColumnType type, std::vector<jet::Value>* key) {
  if (sqlite3_value_type(v) == SQLITE_NULL) return false;
  if (IsText(type) && sqlite3_value_type(v) != SQLITE_TEXT) return false;
  if (!IsText(type) && sqlite3_value_type(v) == SQLITE_TEXT) return false;
  try {
    key->assign(1, ReadJetValue(v, type));
    return true;
  } catch (const jet::Error&) {
    return false;
  }
}

// Positions the cursor at the first row of the plan, Like filters aside.
int Position(JetCursor* c, int plan, const char* idx_str, int argc, sqlite3_value** argv) {
  JetVtab* vtab = c->vtab;
  c->scan.reset();
  if (c->index) c->open_index = std::move(c->index);
  c->row.reset();
  c->reader_at_row = false;
  c->id_mode = false;
  c->ids.clear();
  c->batch_mode = false;
  c->batch.clear();
  c->batch_pos = 0;
  c->has_eq = c->has_upper = c->upper_exclusive = false;
  uint64_t used = idx_str ? std::strtoull(idx_str, nullptr, 16) : kAllColumns;
  if (used != c->columns_used) {
    // Rows kept for another plan may lack columns this one reads.
    c->row_cache.clear();
    c->columns_used = used;
  }
  try {
    if (!(plan & kPlanUsesIndex)) {
      StartScan(c);
      return SQLITE_OK;
    }
    int number = plan & kIndexMask;
    const jet::IndexDef& index = vtab->def->indexes.at(static_cast<size_t>(number));
    jet::ColumnType type = vtab->def->columns.at(static_cast<size_t>(index.columns[0].column)).type;
    std::vector<jet::Value> lower;
    bool has_lower = false;
    int arg = 0;
    bool usable = true;
    if (plan & kPlanEq) usable = arg < argc && KeyFor(argv[arg++], type, &c->eq_key);
    c->has_eq = (plan & kPlanEq) && usable;
    if (usable && (plan & kPlanLower)) {
      usable = arg < argc && KeyFor(argv[arg++], type, &lower);
      has_lower = usable;
      if (usable && IsText(type)) lower.assign(1, AlnumPrefix(std::get<std::string>(lower[0])));
    }
    if (usable && (plan & kPlanUpper)) {
      usable = arg < argc && KeyFor(argv[arg++], type, &c->upper_key);
      c->has_upper = usable;
      if (usable && IsText(type)) {
        // No bound made of letters and digits: the walk runs to the end of the index.
        std::optional<std::string> bound = AlnumUpperBound(std::get<std::string>(c->upper_key[0]));
        c->has_upper = bound.has_value();
        c->upper_exclusive = true;
        if (bound) c->upper_key.assign(1, *bound);
      }
    }
    if (!usable && !(plan & kPlanOrdered)) {
      StartScan(c);
      return SQLITE_OK;
    }
    if (!usable) {
      // A bound that is no key of the index: the whole index, for its order.
      has_lower = c->has_upper = c->upper_exclusive = false;
    }
    if (c->open_index && c->open_index_number == number) {
      c->index = std::move(c->open_index);
    } else if (!c->index_unreadable) {
      c->open_index.reset();
      try {
        c->index = vtab->database->OpenIndex(vtab->table, number);
        c->open_index_number = number;
      } catch (const jet::Error&) {
        // The index cannot be read: the scan gives the same rows, slower, but not in the
        // index's order, which the plan promised.
        if (plan & kPlanOrdered) throw;
        c->index.reset();
        c->index_unreadable = true;
      }
    }
    if (!c->index) {
      c->has_eq = c->has_upper = false;
      StartScan(c);
      return SQLITE_OK;
    }
    if (c->has_eq) {
      std::string memo_key = MemoKey(number, argv[0]);
      auto memo = c->eq_memo.find(memo_key);
      if (memo != c->eq_memo.end()) {
        c->ids = memo->second;
      } else {
        for (c->index->SeekGE(c->eq_key); c->index->Valid() && c->index->CompareKey(c->eq_key) == 0;
             c->index->Next()) {
          c->ids.push_back(c->index->row_id());
        }
        if (c->ids.size() <= kEqMemoMaxRows && c->eq_memo.size() < kEqMemoLimit) {
          c->eq_memo.emplace(memo_key, c->ids);
        }
      }
      c->open_index = std::move(c->index);
      c->id_mode = true;
      c->id_pos = 0;
      SettleIds(c);
      return SQLITE_OK;
    }
    if (has_lower) {
      c->index->SeekGE(lower);
    } else {
      c->index->SeekFirst();
    }
    c->batch_mode = !(plan & kPlanOrdered) && (has_lower || c->has_upper);
    if (c->batch_mode) {
      SettleBatch(c);
    } else {
      SettleIndex(c);
    }
    return SQLITE_OK;
  } catch (...) {
    return Fail(vtab);
  }
}

jet::RowId CurrentRowId(JetCursor* c) {
  if (c->id_mode) return c->ids[c->id_pos];
  if (c->batch_mode) return UnpackedId(c->batch[c->batch_pos]);
  return c->index ? c->index->row_id() : c->scan->row_id();
}

// Moves to the next row of the plan, Like filters aside.
void Step(JetCursor* c) {
  if (c->id_mode) {
    ++c->id_pos;
    SettleIds(c);
  } else if (c->batch_mode) {
    ++c->batch_pos;
    SettleBatch(c);
  } else if (c->index) {
    c->index->Next();
    SettleIndex(c);
  } else if (c->scan) {
    c->scan->Next();
    NewRow(c);
    c->eof = !c->scan->Valid();
  } else {
    c->eof = true;
  }
}

// Column `n` of the current row (not past the end), read once per row.
const jet::Value& CurrentValue(JetCursor* c, size_t n) {
  if (c->id_mode && c->row && ColumnUsed(c->columns_used, n)) return (*c->row)[n];
  if (c->scan_values.size() <= n) {
    c->scan_values.resize(n + 1);
    c->value_stamps.resize(n + 1, 0);
  }
  jet::Value& value = c->scan_values[n];
  if (c->value_stamps[n] != c->row_stamp) {
    if (c->id_mode || c->index) {
      // An equality lookup asked for a column the statement was not said to use.
      if (!c->reader_at_row) {
        Reader(c).Seek(CurrentRowId(c));
        c->reader_at_row = true;
      }
      c->reader->ReadValue(static_cast<int>(n), value);
    } else {
      c->scan->ReadValue(static_cast<int>(n), value);
    }
    c->value_stamps[n] = c->row_stamp;
  }
  return value;
}

bool PassesLikes(JetCursor* c) {
  for (LikeFilter& like : c->likes) {
    if (like.null_pattern) return false;
    const jet::Value& value = CurrentValue(c, like.column);
    const auto* text = std::get_if<std::string>(&value);
    if (!text) return false;  // Null
    if (!like.pattern) like.pattern.emplace(like.text);
    if (!like.pattern->Matches(*text)) return false;
  }
  return true;
}

void SkipRejected(JetCursor* c) {
  while (!c->eof && !PassesLikes(c)) Step(c);
}

int Filter(sqlite3_vtab_cursor* base, int plan, const char* idx_str, int argc,
           sqlite3_value** argv) {
  auto* c = reinterpret_cast<JetCursor*>(base);
  c->likes.clear();
  // The Like patterns are the last arguments, one per column listed after the columns used.
  for (const char* p = idx_str ? std::strchr(idx_str, ',') : nullptr; p;
       p = std::strchr(p + 1, ',')) {
    LikeFilter like;
    like.column = std::strtoul(p + 1, nullptr, 10);
    c->likes.push_back(std::move(like));
  }
  int first_like = argc - static_cast<int>(c->likes.size());
  if (first_like < 0) return SQLITE_ERROR;
  for (size_t i = 0; i < c->likes.size(); ++i) {
    sqlite3_value* pattern = argv[first_like + static_cast<int>(i)];
    if (sqlite3_value_type(pattern) == SQLITE_NULL) {
      c->likes[i].null_pattern = true;
    } else {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(pattern));
      c->likes[i].text.assign(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(pattern)));
    }
  }
  int rc = Position(c, plan, idx_str, first_like, argv);
  if (rc != SQLITE_OK || c->likes.empty()) return rc;
  try {
    SkipRejected(c);
    return SQLITE_OK;
  } catch (...) {
    return Fail(c->vtab);
  }
}

int Next(sqlite3_vtab_cursor* base) {
  auto* c = reinterpret_cast<JetCursor*>(base);
  try {
    Step(c);
    SkipRejected(c);
    return SQLITE_OK;
  } catch (...) {
    return Fail(c->vtab);
  }
}

int Eof(sqlite3_vtab_cursor* base) {
  return reinterpret_cast<JetCursor*>(base)->eof;
}

int RowId(sqlite3_vtab_cursor* base, sqlite3_int64* out);

int Column(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int column) {
  auto* c = reinterpret_cast<JetCursor*>(base);
  if (static_cast<size_t>(column) == c->vtab->def->columns.size()) {
    sqlite3_int64 address = 0;
    RowId(base, &address);
    sqlite3_result_int64(ctx, address);
    return SQLITE_OK;
  }
  try {
    if (column < 0 || static_cast<size_t>(column) >= c->vtab->def->columns.size() || c->eof) {
      sqlite3_result_null(ctx);
      return SQLITE_OK;
    }
    ResultJetValue(ctx, CurrentValue(c, static_cast<size_t>(column)));
    return SQLITE_OK;
  } catch (...) {
    return Fail(c->vtab);
  }
}

int RowId(sqlite3_vtab_cursor* base, sqlite3_int64* out) {
  auto* c = reinterpret_cast<JetCursor*>(base);
  *out = PackRowAddress(CurrentRowId(c));
  return SQLITE_OK;
}

int FindFunction(sqlite3_vtab* base, int argc, const char* name,
                 void (**function)(sqlite3_context*, int, sqlite3_value**), void** data) {
  if (argc != 2 || std::strcmp(name, kLikeColumnFunction) != 0) return 0;
  *function = LikeColumnFunction;
  *data = &reinterpret_cast<JetVtab*>(base)->like_data;
  return kLikeConstraint;
}

const sqlite3_module kJetModule = {
    /* iVersion */ 0,
    /* xCreate */ Connect,
    /* xConnect */ Connect,
    /* xBestIndex */ BestIndex,
    /* xDisconnect */ Disconnect,
    /* xDestroy */ Disconnect,
    /* xOpen */ Open,
    /* xClose */ Close,
    /* xFilter */ Filter,
    /* xNext */ Next,
    /* xEof */ Eof,
    /* xColumn */ Column,
    /* xRowid */ RowId,
    /* xUpdate */ nullptr,
    /* xBegin */ nullptr,
    /* xSync */ nullptr,
    /* xCommit */ nullptr,
    /* xRollback */ nullptr,
    /* xFindFunction */ FindFunction,
    /* xRename */ nullptr,
    /* xSavepoint */ nullptr,
    /* xRelease */ nullptr,
    /* xRollbackTo */ nullptr,
    /* xShadowName */ nullptr,
};

}  // namespace

void RegisterJetModule(sqlite3* db, jet::Database* database, PendingError* pending) {
  auto data = std::make_unique<ModuleData>(ModuleData{database, pending});
  sqlite3_create_module_v2(db, "jet", &kJetModule, data.release(), [](void* p) {
    std::unique_ptr<ModuleData> owned(static_cast<ModuleData*>(p));
  });
}

}  // namespace jetsql
