#ifndef QUORLA_QUERY_GRID_MODEL_H_
#define QUORLA_QUERY_GRID_MODEL_H_

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "jetsql/session.h"
#include "query/packed_rows.h"

namespace query {

// The result grid's content: the field names as the header row and one row per record. Cells
// are formatted when the view asks for them, so a large result costs the records, not widgets;
// the records themselves are kept packed.
// Before the first result the grid is unbound and shows one empty cell.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridModel(QObject* parent = nullptr);

  // Replaces what the grid shows; the old records' memory goes back to the system.
  void SetResult(jetsql::RecordSet result);
  bool bound() const { return bound_; }

  // Rows and columns with the fixed header row and the fixed leading column counted.
  int32_t Rows() const { return rowCount() + 1; }
  int32_t Cols() const { return columnCount() + 1; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<std::string> field_names_;
  std::vector<jet::ColumnType> field_types_;
  PackedRows rows_;
  bool bound_ = false;
};

}  // namespace query

#endif  // QUORLA_QUERY_GRID_MODEL_H_
