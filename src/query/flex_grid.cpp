#include "query/flex_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

namespace query {

namespace {
// Column widths follow the header and this many records at most, so that a large result is
// not read through to size its columns.
constexpr int kRowsMeasured = 100;
// No column is made wider than this many average characters, so that one long memo does not
// push the other columns out of sight. The user may still widen it by hand.
constexpr int kWidestColumnChars = 40;
}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
  setModel(model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTabKeyNavigation(false);
  // Uniform row heights keep a million-row result cheap: the view never measures rows.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
  verticalHeader()->setMinimumWidth(fontMetrics().averageCharWidth() * 2);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
}

void FlexGrid::ShowResult(jetsql::RecordSet result) {
  model_->SetResult(std::move(result));
  // Back to the top first, so that the columns are measured on the first records.
  ScrollToTopLeft();
  SizeColumnsToContents();
  if (model_->rowCount() > 0 && model_->columnCount() > 0) {
    setCurrentIndex(model_->index(0, 0));
  }
  ScrollToTopLeft();
}

void FlexGrid::ScrollToTopLeft() {
  verticalScrollBar()->setValue(verticalScrollBar()->minimum());
  horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void FlexGrid::SizeColumnsToContents() {
  const int widest = fontMetrics().averageCharWidth() * kWidestColumnChars;
  QHeaderView* header = horizontalHeader();
  for (int col = 0; col < model_->columnCount(); ++col) {
    const int fit = std::max(sizeHintForColumn(col), header->sectionSizeHint(col));
    header->resizeSection(col, std::min(fit, widest));
  }
}

QString FlexGrid::TextMatrix(int row, int col) const {
  if (row == 0 && col == 0) return QString();
  if (row == 0) return model_->headerData(col - 1, Qt::Horizontal).toString();
  if (col == 0) return QString();
  return model_->data(model_->index(row - 1, col - 1)).toString();
}

}  // namespace query
