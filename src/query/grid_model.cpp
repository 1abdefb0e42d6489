#include "query/grid_model.h"

#include <limits>

#include "jet/error.h"
#include "query/value_text.h"

namespace query {

namespace {
// An unbound grid has one row and one column besides the fixed ones.
constexpr int kUnboundCells = 1;
// Rows and Cols, which count the fixed row and column, must stay 32-bit numbers.
constexpr size_t kMostCells = std::numeric_limits<int32_t>::max() - 1;

// Numbers, Currency and dates line up on the right, everything else on the left.
Qt::Alignment AlignmentOf(jet::ColumnType type) {
  if (jet::IsNumberType(type) || type == jet::ColumnType::kDateTime) {
    return Qt::AlignRight | Qt::AlignVCenter;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}
}  // namespace

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

GridModel::GridModel(std::vector<std::string> field_names, std::vector<jet::ColumnType> field_types,
                     std::unique_ptr<RecordStore> store, QObject* parent)
    : QAbstractTableModel(parent),
      field_names_(std::move(field_names)),
      field_types_(std::move(field_types)),
      store_(std::move(store)) {
  if (field_names_.size() > kMostCells) throw errors::Overflow();
}

GridModel::~GridModel() = default;

void GridModel::Append(const std::vector<jet::Value>& row) {
  if (store_->size() >= kMostCells) throw errors::Overflow();
  store_->Append(row);
}

void GridModel::ShowAppended() {
  const int all = static_cast<int>(store_->size());
  if (all == shown_rows_) return;
  beginInsertRows(QModelIndex(), shown_rows_, all - 1);
  shown_rows_ = all;
  endInsertRows();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound() ? shown_rows_ : kUnboundCells;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return bound() ? static_cast<int>(field_names_.size()) : kUnboundCells;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!bound() || !index.isValid()) return QVariant();
  const auto col = static_cast<size_t>(index.column());
  if (role == Qt::TextAlignmentRole) {
    if (col >= field_types_.size()) return QVariant();
    return static_cast<int>(AlignmentOf(field_types_[col]));
  }
  if (role != Qt::DisplayRole) return QVariant();
  return ValueText(store_->At(static_cast<size_t>(index.row()), col));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal && bound() && section >= 0 &&
      static_cast<size_t>(section) < field_names_.size()) {
    return QString::fromStdString(field_names_[static_cast<size_t>(section)]);
  }
  return QString();
}

}  // namespace query
