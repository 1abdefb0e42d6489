#ifndef QUORLA_QUERY_FLEX_GRID_H_
#define QUORLA_QUERY_FLEX_GRID_H_

#include <QItemSelection>
#include <QPersistentModelIndex>
#include <QTableView>
#include <memory>
#include <utility>

#include "jetsql/session.h"
#include "query/grid_model.h"

namespace query {

// The result grid: a fixed header row of field names, a fixed (empty) leading column and one
// row per record. Rows and Cols count the fixed row and column. Tab and Shift+Tab move the
// focus on to the next control, not from cell to cell.
//
// A new result comes in three steps (query/result_load.h): Preview shows it while it is still
// being read, Adopt keeps it and releases the old one, Restore drops it and brings the old one
// back as it was shown, with its current cell, selection, scroll position and column widths.
class FlexGrid : public QTableView {
  Q_OBJECT

 public:
  explicit FlexGrid(QWidget* parent = nullptr);
  ~FlexGrid() override;

  // Shows a complete result in place of the old one, which is released.
  void ShowResult(jetsql::RecordSet result);

  // Shows `pending`, a result still being read, in place of the current one, which is kept
  // aside. The grid starts over: the current cell is the first cell of the first record,
  // scrolled into the top-left corner, and the columns are sized afresh to their header and
  // first records.
  void Preview(std::unique_ptr<GridModel> pending);
  // The result shown by Preview is complete: it stays and the one kept aside is released.
  void Adopt();
  // The result shown by Preview is dropped and the one kept aside is shown again as it was.
  void Restore();
  bool previewing() const { return kept_ != nullptr; }

  GridModel& model_data() { return *model_; }
  const GridModel& model_data() const { return *model_; }
  int32_t Rows() const { return model_->Rows(); }
  int32_t Cols() const { return model_->Cols(); }
  // The text of a cell, counting the fixed row and column (row 0 is the header row).
  QString TextMatrix(int row, int col) const;

 private:
  // How the kept result was shown, to show it so again.
  struct ViewState {
    QByteArray columns;
    int vertical = 0;
    int horizontal = 0;
    QPersistentModelIndex current;
    QItemSelection selection;
  };

  void Switch(GridModel* model);
  void StartOver();
  void ScrollToTopLeft();
  void SizeColumnsToContents();

  std::unique_ptr<GridModel> model_;  // the one the view shows
  std::unique_ptr<GridModel> kept_;   // the one Preview put aside
  ViewState kept_state_;
  int measured_rows_ = 0;  // records there were when the columns were sized
};

}  // namespace query

#endif  // QUORLA_QUERY_FLEX_GRID_H_
