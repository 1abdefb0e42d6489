#include "jet/table_writer.h"

#include <algorithm>
#include <bit>
#include <map>
#include <random>

#include "jet/byte_writer.h"
#include "jet/data_page_writer.h"
#include "jet/index_key.h"
#include "jet/index_writer.h"
#include "jet/long_value_writer.h"
#include "jet/row_codec.h"
#include "jet/row_encoder.h"
#include "jet/row_placement.h"

namespace jet {
namespace {

bool IsLong(ColumnType t) {
  return t == ColumnType::kMemo || t == ColumnType::kOle;
}

Guid NewGuid() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  Guid g;
  for (size_t i = 0; i < g.size(); i += 8) {
    uint64_t r = random();
    for (size_t k = 0; k < 8; ++k) g[i + k] = static_cast<uint8_t>(r >> (8 * k));
  }
  g[7] =
      static_cast<uint8_t>((g[7] & 0x0f) | 0x40);  // version 4 (the third group is little endian)
  g[8] = static_cast<uint8_t>((g[8] & 0x3f) | 0x80);
  return g;
}

[[noreturn]] void ThrowDuplicate() {
  throw errors::DuplicateKey();
}

// Equal values that are also stored alike (0.0 and -0.0 compare equal, but are not).
bool SameValue(const Value& a, const Value& b) {
  if (a.index() != b.index()) return false;
  if (const double* x = std::get_if<double>(&a)) {
    return std::bit_cast<uint64_t>(*x) == std::bit_cast<uint64_t>(std::get<double>(b));
  }
  if (const float* x = std::get_if<float>(&a)) {
    return std::bit_cast<uint32_t>(*x) == std::bit_cast<uint32_t>(std::get<float>(b));
  }
  if (const DateTime* x = std::get_if<DateTime>(&a)) {
    return std::bit_cast<uint64_t>(x->days) == std::bit_cast<uint64_t>(std::get<DateTime>(b).days);
  }
  return a == b;
}

RowId ToRowId(RowPointer p) {
  return {p.page, p.row};
}

}  // namespace

TableWriter::TableWriter(Pager& pager, std::shared_ptr<const TableLayout> layout)
    : pager_(pager),
      layout_(std::move(layout)),
      allocator_(pager, layout_->used_pages, layout_->free_pages) {
  std::map<size_t, PhysicalIndex> by_real;
  const std::vector<IndexDef>& indexes = layout_->def->indexes;
  for (size_t i = 0; i < indexes.size(); ++i) {
    const IndexDef& d = indexes[i];
    PhysicalIndex& p = by_real[layout_->real_index[i]];
    if (p.columns.empty()) {
      p.real = layout_->real_index[i];
      p.root_page = d.root_page;
      if (p.real < layout_->real_index_pages.size()) p.pages = layout_->real_index_pages[p.real];
      for (const IndexColumn& c : d.columns) p.columns.push_back(c.column);
      p.key_columns = layout_->index_keys[i];
    }
    p.unique |= d.unique;
    p.primary |= d.primary;
    p.required |= d.required;
    p.ignore_nulls |= d.ignore_nulls;
  }
  for (auto& entry : by_real) physical_.push_back(std::move(entry.second));

  // The old values a change needs: the index columns' for their entries; an update also needs
  // autonumbers (kept) and long values (kept when unchanged).
  const std::vector<ColumnDef>& columns = layout_->def->columns;
  delete_reads_.assign(columns.size(), false);
  for (const PhysicalIndex& p : physical_) {
    for (int c : p.columns) delete_reads_[static_cast<size_t>(c)] = true;
  }
  update_reads_ = delete_reads_;
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnDef& c = columns[i];
    if (c.autonumber || c.guid_autonumber || IsLong(c.type)) update_reads_[i] = true;
  }
}

std::vector<bool> TableWriter::ChangedIndexes(const std::vector<Value>& before,
                                              const std::vector<Value>& after,
                                              const std::vector<bool>* assigned) const {
  std::vector<bool> changed(physical_.size());
  for (size_t i = 0; i < physical_.size(); ++i) {
    const std::vector<int>& columns = physical_[i].columns;
    changed[i] = std::any_of(columns.begin(), columns.end(), [&](int c) {
      auto k = static_cast<size_t>(c);
      return (assigned == nullptr || (*assigned)[k]) && !SameValue(after[k], before[k]);
    });
  }
  return changed;
}

std::vector<TableWriter::Entry> TableWriter::Entries(const std::vector<Value>& values,
                                                     const std::vector<bool>* changed) const {
  std::vector<Entry> out;
  out.reserve(physical_.size());
  std::vector<Value> key_values;
  for (const PhysicalIndex& p : physical_) {
    Entry e;
    e.kept = changed != nullptr && !(*changed)[out.size()];
    key_values.clear();
    e.all_null = true;
    for (int c : p.columns) {
      const Value& v = values[static_cast<size_t>(c)];
      bool null =
          IsNull(v) && layout_->def->columns[static_cast<size_t>(c)].type != ColumnType::kBoolean;
      e.any_null |= null;
      e.all_null &= null;
      if (!e.kept) key_values.push_back(IsNull(v) && !null ? Value(false) : v);
    }
    if (!e.kept) e.key = EncodeIndexKey(p.key_columns, key_values, JetVersion::kJet4);
    e.present = !(p.ignore_nulls && e.all_null);
    out.push_back(std::move(e));
  }
  return out;
}

void TableWriter::CheckEntries(const std::vector<Entry>& entries, std::optional<RowId> self,
                               const std::vector<Entry>* before) {
  for (size_t i = 0; i < physical_.size(); ++i) {
    const PhysicalIndex& p = physical_[i];
    const Entry& e = entries[i];
    if ((p.primary || p.required) && e.any_null) {
      throw errors::IndexNull();
    }
  }
  for (size_t i = 0; i < physical_.size(); ++i) {
    const PhysicalIndex& p = physical_[i];
    const Entry& e = entries[i];
    // Several all-Null keys may share a unique index; a primary key has none.
    if (!p.unique || !e.present || e.all_null || e.kept) continue;
    // A row keeping its key keeps the only entry with it.
    if (before != nullptr && (*before)[i].present && (*before)[i].key == e.key) continue;
    IndexPageAllocator pages(pager_, allocator_, p.pages);
    IndexWriter index(pager_, pages, JetVersion::kJet4, p.root_page, p.key_columns, &index_pages_);
    if (index.ContainsKey(e.key, self)) ThrowDuplicate();
  }
}

void TableWriter::AssignAutonumbers(std::vector<Value>& values, const std::vector<Value>* old) {
  const std::vector<ColumnDef>& columns = layout_->def->columns;
  if (values.size() != columns.size()) {
    throw errors::CriteriaTypeMismatch();
  }
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnDef& c = columns[i];
    if (!IsNull(values[i])) continue;
    if (old != nullptr && (c.autonumber || c.guid_autonumber)) {
      values[i] = (*old)[i];  // an autonumber keeps its value
    } else if (c.autonumber) {
      // The counter wraps as Access's does.
      values[i] = static_cast<int32_t>(ReadFromDefinition(tdef::kNextAutonumberJet4) +
                                       static_cast<uint32_t>(AutonumberIncrement()));
    } else if (c.guid_autonumber) {
      values[i] = NewGuid();
    }
  }
}

std::vector<uint8_t> TableWriter::StoreRow(const std::vector<Value>& values,
                                           const KeptReferences* kept,
                                           const std::vector<std::optional<ByteSpan>>* stored) {
  const std::vector<ColumnDef>& columns = layout_->def->columns;
  std::vector<std::vector<uint8_t>> refs(columns.size());
  std::vector<std::vector<uint8_t>> data(columns.size());
  auto keeps = [&](size_t i) { return kept != nullptr && (*kept)[i].has_value(); };
  bool writes = false;  // some long value is to be written
  // The row with every long value as a bare reference decides whether the row fits at all and
  // how much room is left for long values kept inline.
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!IsLong(columns[i].type) || IsNull(values[i])) continue;
    if (!keeps(i)) {
      data[i] = LongValueData(columns[i], values[i]);
      writes = true;
    }
    refs[i].assign(long_value::kReferenceSize, 0);
  }
  if (!writes) {
    // No long value to write: the row as it will be stored (kept references in place).
    for (size_t i = 0; i < columns.size(); ++i) {
      if (keeps(i)) refs[i] = *(*kept)[i];
    }
    return EncodeRow(*layout_, layout_->max_columns, values, refs, stored);
  }
  size_t size = EncodeRow(*layout_, layout_->max_columns, values, refs, stored).size();
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!IsLong(columns[i].type) || IsNull(values[i])) continue;
    if (keeps(i)) {
      refs[i] = *(*kept)[i];
      continue;
    }
    bool inline_ok =
        data[i].size() <= long_value::kMaxInline && size + data[i].size() <= data_page::kMaxRowSize;
    refs[i] = WriteLongValue(pager_, allocator_, data[i], inline_ok);
    if (refs[i].size() > long_value::kReferenceSize) size += data[i].size();
  }
  return EncodeRow(*layout_, layout_->max_columns, values, refs, stored);
}

std::vector<Value> TableWriter::DecodeValues(ByteSpan data_row, const std::vector<bool>& wanted) {
  RowView view(data_row, JetVersion::kJet4, *layout_);
  std::vector<Value> values(layout_->def->columns.size());
  for (size_t i = 0; i < values.size(); ++i) {
    if (wanted[i]) values[i] = DecodeColumn(view, i, *layout_, JetVersion::kJet4, pager_);
  }
  return values;
}

void TableWriter::FreeLongValues(ByteSpan data_row, const KeptReferences* kept) {
  RowView view(data_row, JetVersion::kJet4, *layout_);
  for (size_t i = 0; i < layout_->def->columns.size(); ++i) {
    if (!IsLong(layout_->def->columns[i].type)) continue;
    if (kept != nullptr && (*kept)[i]) continue;
    std::optional<ByteSpan> ref = view.Bytes(i);
    if (ref && ref->size() >= long_value::kReferenceSize) FreeLongValue(pager_, allocator_, *ref);
  }
}

// An update that leaves a long value stored apart from the row as it was keeps its rows: only
// the reference moves to the new row.
TableWriter::KeptReferences TableWriter::KeptLongValues(ByteSpan data_row,
                                                        const std::vector<Value>& before,
                                                        const std::vector<Value>& after,
                                                        const std::vector<bool>* assigned) {
  RowView view(data_row, JetVersion::kJet4, *layout_);
  KeptReferences kept(layout_->def->columns.size());
  for (size_t i = 0; i < kept.size(); ++i) {
    bool same = (assigned != nullptr && !(*assigned)[i]) || SameValue(after[i], before[i]);
    if (!IsLong(layout_->def->columns[i].type) || IsNull(after[i]) || !same) {
      continue;
    }
    std::optional<ByteSpan> ref = view.Bytes(i);
    if (ref && ref->size() == long_value::kReferenceSize) kept[i].emplace(ref->begin(), ref->end());
  }
  return kept;
}

std::vector<uint8_t> TableWriter::DataRow(RowId id, std::optional<RowPointer>* moved_to) {
  *moved_to = std::nullopt;
  ByteSpan page = pager_.Page(id.page);
  if (page[0] != page_type::kData || ReadU32(page, data_page::kOwnerOffset) != layout_->tdef_page ||
      id.row >= RowCount(page, JetVersion::kJet4)) {
    throw errors::RecordDeleted();
  }
  RowSlot slot = LocateRow(page, JetVersion::kJet4, id.row);
  if (slot.deleted || slot.moved) throw errors::RecordDeleted();
  ByteSpan bytes = page.subspan(slot.start, slot.end - slot.start);
  if (!slot.overflow) return {bytes.begin(), bytes.end()};
  RowPointer target = DecodeRowPointer(ReadU32(bytes, 0));
  ByteSpan data = RowAt(pager_, JetVersion::kJet4, target);
  *moved_to = target;
  return {data.begin(), data.end()};
}

std::pair<uint32_t, size_t> TableWriter::DefinitionPlace(size_t offset) {
  uint32_t page = layout_->tdef_page;
  size_t page_size = pager_.page_size();
  size_t skip = 0;
  // The first page holds the definition's bytes whole, each chained page after its header.
  while (offset >= page_size) {
    offset -= page_size - skip;
    skip = tdef::kContinuationHeader;
    offset += skip;
    page = ReadU32(pager_.Page(page), tdef::kNextPageOffset);
    if (page == 0) ThrowCorrupt("table definition shorter than its entries");
  }
  return {page, offset};
}

uint32_t TableWriter::ReadFromDefinition(size_t offset) {
  auto [page, at] = DefinitionPlace(offset);
  return ReadU32(pager_.Page(page), at);
}

void TableWriter::SetInDefinition(size_t offset, uint32_t value) {
  auto [page, at] = DefinitionPlace(offset);
  PutU32(pager_.Modify(page), at, value);
}

void TableWriter::AddToDefinition(size_t offset, int64_t delta) {
  int64_t now = static_cast<int64_t>(ReadFromDefinition(offset)) + delta;
  SetInDefinition(offset, static_cast<uint32_t>(std::max<int64_t>(now, 0)));
}

size_t TableWriter::KeyCountOffset(const PhysicalIndex& index) {
  return tdef::kJet4.real_index_entries + index.real * tdef::kJet4.real_index_entry_size +
         tdef::kRealIndexKeyCount;
}

// The definition counts an index's distinct keys: a key new to the index adds one.
void TableWriter::AddEntry(const PhysicalIndex& index, const std::string& key, RowId id) {
  IndexPageAllocator pages(pager_, allocator_, index.pages);
  IndexWriter writer(pager_, pages, JetVersion::kJet4, index.root_page, index.key_columns,
                     &index_pages_);
  if (!writer.Insert(key, id)) AddToDefinition(KeyCountOffset(index), 1);
}

void TableWriter::RemoveEntry(const PhysicalIndex& index, const std::string& key, RowId id) {
  IndexPageAllocator pages(pager_, allocator_, index.pages);
  IndexWriter writer(pager_, pages, JetVersion::kJet4, index.root_page, index.key_columns,
                     &index_pages_);
  if (!writer.Remove(key, id)) AddToDefinition(KeyCountOffset(index), -1);
}

// An autonumber given explicitly above the last one handed out moves the counter on.
int32_t TableWriter::AutonumberIncrement() {
  auto step = static_cast<int32_t>(ReadFromDefinition(tdef::kAutonumberIncrement));
  return step == 0 ? 1 : step;  // some writers leave it 0
}

void TableWriter::RaiseAutonumber(const std::vector<Value>& values) {
  const std::vector<ColumnDef>& columns = layout_->def->columns;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (!columns[i].autonumber) continue;
    int32_t v = std::get<int32_t>(values[i]);
    uint32_t last = ReadFromDefinition(tdef::kNextAutonumberJet4);
    bool past = AutonumberIncrement() > 0 ? v > 0 && static_cast<uint32_t>(v) > last
                                          : v < static_cast<int32_t>(last);
    if (past) SetInDefinition(tdef::kNextAutonumberJet4, static_cast<uint32_t>(v));
  }
}

RowId TableWriter::Insert(std::vector<Value> values) {
  AssignAutonumbers(values, nullptr);
  CheckRowValues(*layout_, values);
  std::vector<Entry> entries = Entries(values);
  CheckEntries(entries, std::nullopt);

  std::vector<uint8_t> row = StoreRow(values);
  RowId id = ToRowId(PlaceRow(pager_, allocator_, layout_->tdef_page, std::move(row), 0));
  for (size_t i = 0; i < physical_.size(); ++i) {
    if (entries[i].present) AddEntry(physical_[i], entries[i].key, id);
  }
  AddToDefinition(tdef::kJet4.row_count, 1);
  RaiseAutonumber(values);
  return id;
}

// A row whose new bytes are as long as the old ones is overwritten where it lies; the page's
// layout stays as it is.
bool TableWriter::OverwriteSameSize(RowId id, const std::vector<uint8_t>& row) {
  std::span<uint8_t> page = pager_.Modify(id.page);
  RowSlot slot = LocateRow(page, JetVersion::kJet4, id.row);
  if (slot.deleted || slot.overflow || slot.moved || slot.end - slot.start != row.size()) {
    return false;
  }
  std::copy(row.begin(), row.end(), page.begin() + static_cast<std::ptrdiff_t>(slot.start));
  return true;
}

void TableWriter::Update(RowId id, std::vector<Value> values, const std::vector<bool>* assigned) {
  std::optional<RowPointer> moved_to;
  std::vector<uint8_t> old_row = DataRow(id, &moved_to);
  // Columns the caller leaves as stored need not be read: their values are those given.
  std::vector<bool> reads = update_reads_;
  std::vector<std::optional<ByteSpan>> stored;
  if (assigned != nullptr) {
    RowView view(old_row, JetVersion::kJet4, *layout_);
    stored.resize(reads.size());
    for (size_t i = 0; i < reads.size(); ++i) {
      reads[i] = reads[i] && (*assigned)[i];
      ColumnType type = layout_->def->columns[i].type;
      if (!(*assigned)[i] && type != ColumnType::kBoolean && !IsLong(type)) {
        stored[i] = view.Bytes(i);
      }
    }
  }
  std::vector<Value> old_values = DecodeValues(old_row, reads);
  AssignAutonumbers(values, &old_values);
  CheckRowValues(*layout_, values);
  std::vector<bool> changed = ChangedIndexes(old_values, values, assigned);
  if (assigned != nullptr) {
    // The old key of a changed index takes its unassigned columns' values from those given.
    for (size_t i = 0; i < physical_.size(); ++i) {
      if (!changed[i]) continue;
      for (int c : physical_[i].columns) {
        auto k = static_cast<size_t>(c);
        if (!(*assigned)[k]) old_values[k] = values[k];
      }
    }
  }
  std::vector<Entry> old_entries = Entries(old_values, &changed);
  std::vector<Entry> entries = Entries(values, &changed);
  CheckEntries(entries, id, &old_entries);

  KeptReferences kept = KeptLongValues(old_row, old_values, values, assigned);
  FreeLongValues(old_row, &kept);
  if (moved_to) DeleteRowAt(pager_, allocator_, *moved_to);
  std::vector<uint8_t> row = StoreRow(values, &kept, assigned != nullptr ? &stored : nullptr);
  if (!moved_to && OverwriteSameSize(id, row)) {
    // done: the row kept its size and place
  } else {
    std::span<uint8_t> page = pager_.Modify(id.page);
    std::vector<PageRow> rows = ReadPageRows(page);
    rows[id.row] = {0, row};
    if (RowsFit(rows, page.size())) {
      WritePageRows(page, rows);
    } else {
      // The row no longer fits its page: its data moves, its place keeps a pointer to it.
      RowPointer target = PlaceRow(pager_, allocator_, layout_->tdef_page, std::move(row),
                                   data_page::kMovedFlag, id.page);
      std::vector<uint8_t> pointer;
      AppendU32(pointer, EncodeRowPointer(target.page, target.row));
      std::span<uint8_t> header = pager_.Modify(id.page);
      rows = ReadPageRows(header);
      rows[id.row] = {data_page::kOverflowFlag, std::move(pointer)};
      WritePageRows(header, rows);
    }
  }
  for (size_t i = 0; i < physical_.size(); ++i) {
    const Entry& before = old_entries[i];
    const Entry& after = entries[i];
    if (after.kept || (before.present == after.present && before.key == after.key)) continue;
    if (before.present) RemoveEntry(physical_[i], before.key, id);
    if (after.present) AddEntry(physical_[i], after.key, id);
  }
  RaiseAutonumber(values);
}

void TableWriter::Delete(RowId id) {
  std::optional<RowPointer> moved_to;
  std::vector<uint8_t> old_row = DataRow(id, &moved_to);
  std::vector<Value> old_values = DecodeValues(old_row, delete_reads_);
  std::vector<Entry> entries = Entries(old_values);

  for (size_t i = 0; i < physical_.size(); ++i) {
    if (entries[i].present) RemoveEntry(physical_[i], entries[i].key, id);
  }
  FreeLongValues(old_row);
  if (moved_to) DeleteRowAt(pager_, allocator_, *moved_to);
  DeleteRowAt(pager_, allocator_, {id.page, static_cast<uint8_t>(id.row)});
  AddToDefinition(tdef::kJet4.row_count, -1);
}

}  // namespace jet
