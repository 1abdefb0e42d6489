#include "query/grid_model.h"

#include <limits>

#include "jet/error.h"
#include "query/value_text.h"

namespace query {

namespace {
// An unbound grid has one row and one column besides the fixed ones.
constexpr int kUnboundCells = 1;

int CheckedCount(size_t n) {
  if (n >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw jet::Error(jet::err::kOverflow, "Überlauf");
  }
  return static_cast<int>(n);
}
}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridModel::SetResult(jetsql::RecordSet result) {
  CheckedCount(result.rows.size());
  CheckedCount(result.field_names.size());
  beginResetModel();
  result_ = std::move(result);
  bound_ = true;
  endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound_ ? static_cast<int>(result_.rows.size()) : kUnboundCells;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound_ ? static_cast<int>(result_.field_names.size()) : kUnboundCells;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !bound_ || !index.isValid()) return QVariant();
  const auto& row = result_.rows[static_cast<size_t>(index.row())];
  const auto col = static_cast<size_t>(index.column());
  if (col >= row.size()) return QVariant();
  return ValueText(row[col]);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal && bound_ && section >= 0 &&
      static_cast<size_t>(section) < result_.field_names.size()) {
    return QString::fromStdString(result_.field_names[static_cast<size_t>(section)]);
  }
  return QString();
}

}  // namespace query
