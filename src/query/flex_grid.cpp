#include "query/flex_grid.h"

#include <QHeaderView>

namespace query {

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
  setModel(model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  // Uniform row heights keep a million-row result cheap: the view never measures rows.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
  verticalHeader()->setMinimumWidth(fontMetrics().averageCharWidth() * 2);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString FlexGrid::TextMatrix(int row, int col) const {
  if (row == 0 && col == 0) return QString();
  if (row == 0) return model_->headerData(col - 1, Qt::Horizontal).toString();
  if (col == 0) return QString();
  return model_->data(model_->index(row - 1, col - 1)).toString();
}

}  // namespace query
