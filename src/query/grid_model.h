#ifndef QUORLA_QUERY_GRID_MODEL_H_
#define QUORLA_QUERY_GRID_MODEL_H_

#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <vector>

#include "jet/column_kind.h"
#include "query/record_store.h"

namespace query {

// The result grid's content: the field names as the header row and one row per record. Cells
// are formatted when the view asks for them; the records themselves wait in a RecordStore.
// Records are appended while the statement runs and become rows when ShowAppended says so,
// so that the view can show the first ones while the rest are still being read.
// Before the first result the grid is unbound and shows one empty cell.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // An unbound grid.
  explicit GridModel(QObject* parent = nullptr);
  // A result with these fields and, for now, no records; they go to `store`.
  GridModel(std::vector<std::string> field_names, std::vector<jet::ColumnType> field_types,
            std::unique_ptr<RecordStore> store, QObject* parent = nullptr);
  ~GridModel() override;

  bool bound() const { return store_ != nullptr; }
  const RecordStore* store() const { return store_.get(); }

  // Keeps a record after the last; it is not a row before ShowAppended. Throws jet::Error
  // (Overflow beyond the grid's row limit, a full disk).
  void Append(const std::vector<jet::Value>& row);
  // Makes every record appended so far a row of the grid.
  void ShowAppended();

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
  std::unique_ptr<RecordStore> store_;
  int shown_rows_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_GRID_MODEL_H_
