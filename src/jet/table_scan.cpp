#include "jet/table_scan.h"

#include <optional>

#include "jet/data_page.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

// Overflow pointers are followed at most this many times for one row.
constexpr int kMaxOverflowHops = 4;

// Copies the data an overflow pointer row leads to into `out`.
void FollowOverflow(PageReader& pages, JetVersion version, ByteSpan pointer_row,
                    std::vector<uint8_t>& out) {
  for (int hop = 0; hop < kMaxOverflowHops; ++hop) {
    if (pointer_row.size() < data_page::kRowPointerSize) ThrowCorrupt("short overflow pointer");
    RowPointer target = DecodeRowPointer(ReadU32(pointer_row, 0));
    ByteSpan page = pages.Page(target.page);
    if (page[0] != page_type::kData) ThrowCorrupt("overflow pointer to a non-data page");
    if (target.row >= RowCount(page, version)) ThrowCorrupt("overflow pointer past row count");
    RowSlot slot = LocateRow(page, version, target.row);
    ByteSpan bytes = RowAt(pages, version, target);
    if (slot.overflow) {
      pointer_row = bytes;
      continue;
    }
    out.assign(bytes.begin(), bytes.end());
    return;
  }
  ThrowCorrupt("overflow chain too long");
}

bool OwnedDataPage(ByteSpan page, const TableLayout& layout) {
  return page[0] == page_type::kData && ReadU32(page, data_page::kOwnerOffset) == layout.tdef_page;
}

// The row a cursor stands on: its bytes, and its columns decoded when asked for. The view's
// offset buffer is kept from row to row.
class DecodedRow {
 public:
  DecodedRow(PageReader& pages, JetVersion version, const TableLayout& layout)
      : pages_(pages), version_(version), layout_(layout) {}

  // Forgets the row; the next one's bytes go into the buffer returned, then Loaded() is called.
  std::vector<uint8_t>& Clear() {
    if (view_) {
      spare_offsets_ = std::move(*view_).ReleaseBuffer();
      view_.reset();
    }
    valid_ = false;
    return bytes_;
  }
  void Loaded() { valid_ = true; }
  bool valid() const { return valid_; }

  void ReadValue(int column, Value& out) {
    if (!valid_ || column < 0 || static_cast<size_t>(column) >= layout_.def->columns.size()) {
      throw errors::ItemNotFound();
    }
    if (!view_) view_.emplace(bytes_, version_, layout_, std::move(spare_offsets_));
    DecodeColumnInto(*view_, static_cast<size_t>(column), layout_, version_, pages_, out);
  }

 private:
  PageReader& pages_;
  JetVersion version_;
  const TableLayout& layout_;
  bool valid_ = false;
  std::vector<uint8_t> bytes_;
  std::optional<RowView> view_;
  std::vector<uint16_t> spare_offsets_;
};

class TableScan : public TableCursor {
 public:
  TableScan(PageReader& pages, JetVersion version, std::shared_ptr<const TableLayout> layout,
            MovedRows moved)
      : pages_(pages),
        version_(version),
        layout_(std::move(layout)),
        moved_(moved),
        row_(pages, version, *layout_) {
    data_pages_ = ReadUsageMap(pages_, version_, layout_->used_pages);
    Advance();
  }

  bool Valid() const override { return row_.valid(); }
  void Next() override {
    if (!row_.valid()) return;
    ++row_number_;
    Advance();
  }
  RowId row_id() const override {
    if (!row_.valid()) return {};
    return {data_pages_[page_index_], static_cast<uint16_t>(row_number_)};
  }
  Value value(int column) override {
    Value out;
    ReadValue(column, out);
    return out;
  }
  void ReadValue(int column, Value& out) override { row_.ReadValue(column, out); }

 private:
  // Moves to the first live row at or after (page_index_, row_).
  void Advance() {
    std::vector<uint8_t>& bytes_out = row_.Clear();
    for (; page_index_ < data_pages_.size(); ++page_index_, row_number_ = 0) {
      ByteSpan page = pages_.Page(data_pages_[page_index_]);
      if (!OwnedDataPage(page, *layout_)) continue;
      uint16_t count = RowCount(page, version_);
      for (; row_number_ < count; ++row_number_) {
        RowSlot slot = LocateRow(page, version_, static_cast<uint16_t>(row_number_));
        if (slot.deleted) continue;
        bool at_first_address = moved_ == MovedRows::kAtFirstAddress;
        if (at_first_address ? slot.moved : slot.overflow) continue;
        ByteSpan bytes = page.subspan(slot.start, slot.end - slot.start);
        if (slot.overflow) {
          FollowOverflow(pages_, version_, bytes, bytes_out);
        } else {
          bytes_out.assign(bytes.begin(), bytes.end());
        }
        row_.Loaded();
        return;
      }
    }
  }

  PageReader& pages_;
  JetVersion version_;
  std::shared_ptr<const TableLayout> layout_;
  MovedRows moved_;
  DecodedRow row_;
  std::vector<uint32_t> data_pages_;
  size_t page_index_ = 0;
  size_t row_number_ = 0;
};

// Rows by id: the row's bytes are copied once (a memo read may reuse its page's buffer) and its
// columns decoded when asked for.
class TableRowReader : public RowReader {
 public:
  TableRowReader(PageReader& pages, JetVersion version, std::shared_ptr<const TableLayout> layout)
      : pages_(pages),
        version_(version),
        layout_(std::move(layout)),
        row_(pages, version, *layout_) {}

  void Seek(RowId id) override {
    ReadRowBytesInto(pages_, version_, *layout_, id, row_.Clear());
    row_.Loaded();
  }
  void ReadValue(int column, Value& out) override { row_.ReadValue(column, out); }

 private:
  PageReader& pages_;
  JetVersion version_;
  std::shared_ptr<const TableLayout> layout_;
  DecodedRow row_;
};

}  // namespace

std::unique_ptr<TableCursor> OpenTableScan(PageReader& pages, JetVersion version,
                                           std::shared_ptr<const TableLayout> layout,
                                           MovedRows moved) {
  return std::make_unique<TableScan>(pages, version, std::move(layout), moved);
}

void ReadRowBytesInto(PageReader& pages, JetVersion version, const TableLayout& layout, RowId id,
                      std::vector<uint8_t>& out) {
  ByteSpan page = pages.Page(id.page);
  if (!OwnedDataPage(page, layout)) ThrowCorrupt("row id outside the table");
  if (id.row >= RowCount(page, version)) {
    throw errors::RecordDeleted();
  }
  RowSlot slot = LocateRow(page, version, id.row);
  if (slot.deleted) throw errors::RecordDeleted();
  ByteSpan bytes = page.subspan(slot.start, slot.end - slot.start);
  if (slot.overflow) {
    FollowOverflow(pages, version, bytes, out);
  } else {
    out.assign(bytes.begin(), bytes.end());
  }
}

std::vector<uint8_t> ReadRowBytes(PageReader& pages, JetVersion version, const TableLayout& layout,
                                  RowId id) {
  std::vector<uint8_t> out;
  ReadRowBytesInto(pages, version, layout, id, out);
  return out;
}

std::unique_ptr<RowReader> OpenTableRowReader(PageReader& pages, JetVersion version,
                                              std::shared_ptr<const TableLayout> layout) {
  return std::make_unique<TableRowReader>(pages, version, std::move(layout));
}

}  // namespace jet
