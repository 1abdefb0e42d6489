#ifndef QUORLA_QUERY_FLEX_GRID_H_
#define QUORLA_QUERY_FLEX_GRID_H_

#include <QTableView>

#include "query/grid_model.h"

namespace query {

// The result grid: a fixed header row of field names, a fixed (empty) leading column and one
// row per record. Rows and Cols count the fixed row and column. Tab and Shift+Tab move the
// focus on to the next control, not from cell to cell.
class FlexGrid : public QTableView {
  Q_OBJECT

 public:
  explicit FlexGrid(QWidget* parent = nullptr);

  // Shows a new result in place of the old one, which is released. The grid starts over: the
  // current cell is the first cell of the first record, scrolled into the top-left corner, and
  // the columns are sized afresh to their header and first records.
  void ShowResult(jetsql::RecordSet result);

  GridModel& model_data() { return *model_; }
  const GridModel& model_data() const { return *model_; }
  int32_t Rows() const { return model_->Rows(); }
  int32_t Cols() const { return model_->Cols(); }
  // The text of a cell, counting the fixed row and column (row 0 is the header row).
  QString TextMatrix(int row, int col) const;

 private:
  void ScrollToTopLeft();
  void SizeColumnsToContents();

  GridModel* model_;
};

}  // namespace query

#endif  // QUORLA_QUERY_FLEX_GRID_H_
