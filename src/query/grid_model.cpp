#include "query/grid_model.h"

#include <limits>

#include "jet/column_kind.h"
#include "jet/error.h"
#include "query/free_memory.h"
#include "query/value_text.h"

namespace query {

namespace {
// An unbound grid has one row and one column besides the fixed ones.
constexpr int kUnboundCells = 1;

// Numbers, Currency and dates line up on the right, everything else on the left.
Qt::Alignment AlignmentOf(jet::ColumnType type) {
  if (jet::IsNumberType(type) || type == jet::ColumnType::kDateTime) {
    return Qt::AlignRight | Qt::AlignVCenter;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

int CheckedCount(size_t n) {
  if (n >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw errors::Overflow();
  }
  return static_cast<int>(n);
}
}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::SetResult(jetsql::RecordSet result) {
  CheckedCount(result.rows.size());
  CheckedCount(result.field_names.size());
  // Packed first: should that fail, the grid keeps what it showed.
  PackedRows rows(std::move(result.rows));
  beginResetModel();
  field_names_ = std::move(result.field_names);
  field_types_ = std::move(result.field_types);
  rows_ = std::move(rows);
  bound_ = true;
  endResetModel();
  // The records as the engine delivered them are gone; so is the old result.
  GiveBackFreedMemory();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound_ ? static_cast<int>(rows_.size()) : kUnboundCells;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound_ ? static_cast<int>(field_names_.size()) : kUnboundCells;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!bound_ || !index.isValid()) return QVariant();
  const auto col = static_cast<size_t>(index.column());
  if (role == Qt::TextAlignmentRole) {
    if (col >= field_types_.size()) return QVariant();
    return static_cast<int>(AlignmentOf(field_types_[col]));
  }
  if (role != Qt::DisplayRole) return QVariant();
  return ValueText(rows_.At(static_cast<size_t>(index.row()), col));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal && bound_ && section >= 0 &&
      static_cast<size_t>(section) < field_names_.size()) {
    return QString::fromStdString(field_names_[static_cast<size_t>(section)]);
  }
  return QString();
}

}  // namespace query
