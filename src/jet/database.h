#ifndef QUORLA_JET_DATABASE_H_
#define QUORLA_JET_DATABASE_H_

// The storage engine's public face: open a Jet file, read its catalogue, table definitions and
// rows. Everything else in src/jet is internal to the engine.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/error.h"
#include "jet/value.h"

namespace jet {

enum class JetVersion { kJet3, kJet4 };

struct Relationship;  // relationships.h

struct ColumnDef {
  std::string name;
  ColumnType type = ColumnType::kText;
  int column_number = 0;  // number in the file (gaps where columns were deleted)
  uint16_t size = 0;      // declared size in bytes (text: bytes, i.e. 2 per character in Jet 4)
  uint8_t precision = 0;  // Numeric only
  uint8_t scale = 0;      // Numeric only
  bool fixed = false;
  bool nullable = true;
  bool autonumber = false;       // long autonumber
  bool guid_autonumber = false;  // replication-id autonumber
  bool compressed_unicode = false;
};

struct IndexColumn {
  int column = 0;  // position in TableDef::columns
  bool ascending = true;
};

// What a relationship's index entry (foreign_key) records about the relationship.
struct IndexReference {
  bool referenced_side = false;     // this table is the one the relationship refers to
  int related_index = -1;           // number of the paired index in the related table
  uint32_t related_table_page = 0;  // the related table's definition page
  bool cascade_updates = false;
  bool cascade_deletes = false;
  bool cascade_null = false;  // deleting the referenced row sets the referring keys to Null
};

struct IndexDef {
  std::string name;
  int number = 0;  // the index's number in the definition (IndexReference::related_index)
  std::vector<IndexColumn> columns;
  bool primary = false;
  bool unique = false;
  bool ignore_nulls = false;
  bool required = false;
  bool foreign_key = false;  // a relationship's index entry
  uint32_t root_page = 0;    // first page of the index's B-tree (of its physical index)
  std::optional<IndexReference> reference;  // of a foreign_key entry that names its pair
};

struct TableDef {
  std::string name;
  std::vector<ColumnDef> columns;  // in field order
  std::vector<IndexDef> indexes;
  uint32_t row_count = 0;  // as recorded; may be stale in system tables
};

// What creating a table asks for. The columns need name, type, size (bytes: 2 per character of
// text), precision and scale (Decimal), nullable, autonumber, guid_autonumber and
// compressed_unicode; columns are numbered in order. Indexes name their columns by position.
struct NewTable {
  TableDef def;
  int32_t first_autonumber = 1;
  int32_t autonumber_increment = 1;  // the step between a long autonumber's values
};

// One stored value as a changed column (Database::AlterColumn) takes it; throws to refuse it.
using ColumnValueConverter = std::function<Value(const Value&, const ColumnDef& column)>;

// One entry of the catalogue (MSysObjects) that is a table.
struct CatalogEntry {
  std::string name;
  uint32_t attributes = 0;  // TableDef.Attributes as the engine reports them
  bool system = false;      // attributes & 0x80000002
  bool linked = false;      // linked table: its data lives elsewhere
};

// Physical location of a row: data page and row number on it.
struct RowId {
  uint32_t page = 0;
  uint16_t row = 0;
  bool operator==(const RowId&) const = default;
};

// Forward scan over a table's live rows, in storage order.
class TableCursor {
 public:
  virtual ~TableCursor() = default;
  virtual bool Valid() const = 0;
  virtual void Next() = 0;  // throws Error on damaged data
  virtual RowId row_id() const = 0;
  // Value of the column at position `column` of TableDef::columns, decoded on demand.
  virtual Value value(int column) = 0;
  // The same into `out`, reusing the buffer of a text `out` already holds.
  virtual void ReadValue(int column, Value& out) { out = value(column); }
};

// Rows read by id, one column at a time: a column is decoded only when asked for (a memo column
// left out costs nothing).
class RowReader {
 public:
  virtual ~RowReader() = default;
  // Moves to row `id`; throws Error as Database::ReadRow does.
  virtual void Seek(RowId id) = 0;
  // The value of the column at position `column` of TableDef::columns in that row, into `out`
  // (reusing the buffer of a text `out` already holds).
  virtual void ReadValue(int column, Value& out) = 0;
};

// Walk of one index in key order; a key is the values of the index's columns.
class IndexCursor {
 public:
  virtual ~IndexCursor() = default;
  // Positions at the first entry whose key is >= key (a prefix of the index columns is enough).
  virtual void SeekGE(const std::vector<Value>& key) = 0;
  virtual void SeekFirst() = 0;
  virtual bool Valid() const = 0;
  virtual void Next() = 0;
  virtual RowId row_id() const = 0;
  // Compares the current entry's key with `key` (a prefix), in index order: <0, 0, >0.
  virtual int CompareKey(const std::vector<Value>& key) const = 0;
};

class Database {
 public:
  virtual ~Database() = default;

  // Opens a Jet 3 or Jet 4 file. Throws Error: 3024 missing file, 3343 unrecognised or damaged
  // format, 3031 password protected.
  static std::unique_ptr<Database> Open(const std::string& path);

  virtual JetVersion version() const = 0;
  // The catalogue's tables (user and system, local and linked), in catalogue order.
  virtual std::vector<CatalogEntry> Tables() = 0;
  // Throws Error 3078 when there is no such table (names compare case-insensitively).
  virtual std::shared_ptr<const TableDef> GetTableDef(const std::string& name) = 0;
  virtual std::unique_ptr<TableCursor> Scan(const std::string& table) = 0;
  virtual std::unique_ptr<IndexCursor> OpenIndex(const std::string& table, int index) = 0;
  // Reads one row by its id; throws Error if the row does not exist or was deleted.
  virtual std::vector<Value> ReadRow(const std::string& table, RowId id) = 0;
  // A reader of the table's rows by id. The default reads whole rows through ReadRow.
  virtual std::unique_ptr<RowReader> OpenRowReader(const std::string& table);

  // Another Jet file that statements on this database read from (FROM t IN 'file'): `path`
  // relative to this database's folder unless absolute. Opened read-only once and kept while
  // this database is open. Throws Error 3044 when the path's folder does not exist, 3024 when
  // the file does not, else as Open. The default opens the file anew (relative to the working
  // folder).
  virtual std::shared_ptr<Database> OtherDatabase(const std::string& path);
  // The path of the file OtherDatabase(path) would open, with the same errors; it is not opened.
  // Empty when `path` names this database's own file.
  virtual std::string OtherDatabasePath(const std::string& path);

  // --- Writing (Jet 4 files opened with OpenForWriting) ---
  // Opens a Jet 4 file for reading and writing. Errors as Open; 3027 when the file, its folder or
  // its medium is read-only or the file is a Jet 3 file. While open, Access's lock file
  // (name.ldb) beside it lists this user. Both Open and OpenForWriting first roll back a commit
  // that a dead writer left half done (see shared_file.h).
  static std::unique_ptr<Database> OpenForWriting(const std::string& path);

  // A read statement reads between BeginRead and EndRead (they nest): it sees one committed
  // state of the file, as another process's commit waits until EndRead (keep reads short: a
  // commit waits about 2 s, then fails with 3218). Throws Error 3218 when another process's
  // commit does not end in time. Write statements need none: BeginStatement covers their reads.
  // The defaults do nothing (databases of one process, test doubles).
  virtual void BeginRead() {}
  virtual void EndRead() {}

  // The defaults below are those of a read-only database.
  virtual bool writable() const { return false; }
  // A statement's changes are made between BeginStatement and CommitStatement and take effect all
  // together or not at all; RollbackStatement (also after a failed row operation) undoes them.
  // BeginStatement waits for another process's statement to end, about 2 s, then throws Error
  // 3218; CommitStatement is durable when it returns and throws (with the file unchanged) when it
  // cannot be.
  virtual void BeginStatement() { ThrowReadOnly(); }
  virtual void CommitStatement() {}
  virtual void RollbackStatement() {}
  // Inserts a row. `values` holds one value per column of the TableDef, each Null or of the
  // column's type; a Null long autonumber is assigned the table's next value. Every index is kept.
  // Returns the row's id (the address its index entries point at). Throws Error before changing
  // anything: 3022 duplicate key or autonumber taken, 3314 Null in a required field, 3163 text or
  // binary too long for the column, 3464 a value not of the column's type.
  virtual RowId InsertRow(const std::string& table, std::vector<Value> values);
  // Replaces the values of row `id` (as ReadRow returns them); the id stays the same.
  virtual void UpdateRow(const std::string& table, RowId id, std::vector<Value> values);
  // As UpdateRow when only the columns `assigned` marks may differ from the row as ReadRow gave
  // it in the open statement: the others may be kept as stored instead of encoded again.
  virtual void UpdateRowColumns(const std::string& table, RowId id, std::vector<Value> values,
                                const std::vector<bool>& assigned) {
    (void)assigned;
    UpdateRow(table, id, std::move(values));
  }
  virtual void DeleteRow(const std::string& table, RowId id);

  // Data definition; inside a statement like row changes, or a statement of its own. Afterwards
  // the catalogue and definitions read from this database show the change.
  // Creates a table (table_creator.h lists the checks and errors).
  virtual void CreateTable(const NewTable& table);
  // Drops a local table and frees its pages, or removes a linked table's entry. Throws 3376 when
  // there is no such table, 3303 when a relationship names it, 3027 for system tables.
  virtual void DropTable(const std::string& name);
  // Adds an index and fills it from the table's rows. Throws 3371 no such table, 3375 the name is
  // taken, 3283 a second primary key, 3265 an unknown field, 3022 duplicates in a unique index,
  // 3058 Null in a primary key or required index.
  virtual void CreateIndex(const std::string& table, const IndexDef& index);
  // Drops an index (index_dropper.h lists the errors).
  virtual void DropIndex(const std::string& table, const std::string& index);
  // Adds a column after the others; rows read it as Null (column_adder.h lists the errors).
  virtual void AddColumn(const std::string& table, const ColumnDef& column);
  // Records an enforced relationship, or removes one by the referring table and its name
  // (relationship_writer.h lists the checks and errors).
  virtual void CreateRelationship(const Relationship& relationship);
  virtual void DropRelationship(const std::string& table, const std::string& name);
  // Drops a column and its values in every row (column_dropper.h lists the errors).
  virtual void DropColumn(const std::string& table, const std::string& column);
  // Gives a column the type, size, precision, scale, Required rule (nullable) and compression of
  // `changed` (its name and number are ignored), every row's value converted by `convert`
  // (column_alterer.h lists the errors).
  virtual void AlterColumn(const std::string& table, const std::string& column,
                           const ColumnDef& changed, const ColumnValueConverter& convert);

 protected:
  // Error 3027: the database or object is read-only.
  [[noreturn]] static void ThrowReadOnly();
};

// BeginRead/EndRead of a database for the life of a scope.
class ReadScope {
 public:
  explicit ReadScope(Database& db) : db_(db) { db_.BeginRead(); }
  ~ReadScope() { db_.EndRead(); }
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

 private:
  Database& db_;
};

}  // namespace jet

#endif  // QUORLA_JET_DATABASE_H_
