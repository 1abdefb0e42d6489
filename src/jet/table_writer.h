#ifndef QUORLA_JET_TABLE_WRITER_H_
#define QUORLA_JET_TABLE_WRITER_H_

// Inserting, updating and deleting the rows of one table of a Jet 4 file inside an open pager
// transaction: the row and its long values on the table's pages, every index entry, and the
// table definition's row count, autonumber and each index's count of distinct keys. Every check
// (types, sizes, required fields, keys) is made before the first change. A writer may serve
// every row change of one statement: it keeps the layout and decoded index pages, no counts.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/index_page_cache.h"
#include "jet/pager.h"
#include "jet/table_page_allocator.h"
#include "jet/tdef_page.h"

namespace jet {

class TableWriter {
 public:
  // `pager` has a transaction open; `layout` is the table's current layout.
  TableWriter(Pager& pager, std::shared_ptr<const TableLayout> layout);

  RowId Insert(std::vector<Value> values);
  // `assigned`, when given, marks the columns whose values may differ from the row as stored
  // (read in this transaction): the others are kept as they are stored, not encoded again.
  void Update(RowId id, std::vector<Value> values, const std::vector<bool>* assigned = nullptr);
  void Delete(RowId id);

 private:
  // One physical index, with the strictest rules of the logical indexes that share it.
  struct PhysicalIndex {
    size_t real = 0;
    uint32_t root_page = 0;
    RowPointer pages;  // the index's usage map
    std::vector<int> columns;
    std::vector<IndexKeyColumn> key_columns;
    bool unique = false;
    bool primary = false;
    bool required = false;
    bool ignore_nulls = false;
  };
  // The entry a row makes in one physical index.
  struct Entry {
    std::string key;
    bool present = false;  // false: an all-Null key the index ignores
    bool all_null = false;
    bool any_null = false;
    bool kept = false;  // an update leaves the index's columns as they were: no key made
  };

  // `changed`, when given, marks the indexes an update changes a column of; the others' entries
  // are kept, their keys not encoded.
  std::vector<Entry> Entries(const std::vector<Value>& values,
                             const std::vector<bool>* changed = nullptr) const;
  // Per physical index: whether a column of it differs between `before` and `after`.
  // Columns `assigned` leaves out count as unchanged.
  std::vector<bool> ChangedIndexes(const std::vector<Value>& before,
                                   const std::vector<Value>& after,
                                   const std::vector<bool>* assigned) const;
  // `before`: the row's entries before an update (keys it keeps need no check).
  void CheckEntries(const std::vector<Entry>& entries, std::optional<RowId> self,
                    const std::vector<Entry>* before = nullptr);
  // Per column: the stored reference an update keeps (long values it leaves unchanged).
  using KeptReferences = std::vector<std::optional<std::vector<uint8_t>>>;
  // `stored`: as EncodeRow's.
  std::vector<uint8_t> StoreRow(const std::vector<Value>& values,
                                const KeptReferences* kept = nullptr,
                                const std::vector<std::optional<ByteSpan>>* stored = nullptr);
  void FreeLongValues(ByteSpan data_row, const KeptReferences* kept = nullptr);
  KeptReferences KeptLongValues(ByteSpan data_row, const std::vector<Value>& before,
                                const std::vector<Value>& after, const std::vector<bool>* assigned);
  // The values of the columns `wanted` marks; Null for the others.
  std::vector<Value> DecodeValues(ByteSpan data_row, const std::vector<bool>& wanted);
  bool OverwriteSameSize(RowId id, const std::vector<uint8_t>& row);
  // The bytes of row `id`'s data; `moved_to` is set when they lie away from the header row.
  std::vector<uint8_t> DataRow(RowId id, std::optional<RowPointer>* moved_to);
  void AssignAutonumbers(std::vector<Value>& values, const std::vector<Value>* old);
  void RaiseAutonumber(const std::vector<Value>& values);
  // The step between autonumbers the definition records (COUNTER(seed, step)).
  int32_t AutonumberIncrement();
  void AddEntry(const PhysicalIndex& index, const std::string& key, RowId id);
  void RemoveEntry(const PhysicalIndex& index, const std::string& key, RowId id);
  static size_t KeyCountOffset(const PhysicalIndex& index);
  void AddToDefinition(size_t offset, int64_t delta);
  void SetInDefinition(size_t offset, uint32_t value);
  uint32_t ReadFromDefinition(size_t offset);
  std::pair<uint32_t, size_t> DefinitionPlace(size_t offset);

  Pager& pager_;
  std::shared_ptr<const TableLayout> layout_;
  TablePageAllocator allocator_;
  std::vector<PhysicalIndex> physical_;
  IndexPageCache index_pages_;
  std::vector<bool> delete_reads_;  // per column: whether Delete decodes its old value
  std::vector<bool> update_reads_;  // the same for Update
};

}  // namespace jet

#endif  // QUORLA_JET_TABLE_WRITER_H_
