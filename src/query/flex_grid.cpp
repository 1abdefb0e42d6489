#include "query/flex_grid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <algorithm>

#include "query/free_memory.h"
#include "query/result_load.h"

namespace query {

namespace {
// Column widths follow the header and this many records at most, so that a large result is
// not read through to size its columns.
constexpr int kRowsMeasured = 100;
// No column is made wider than this many average characters, so that one long memo does not
// push the other columns out of sight. The user may still widen it by hand.
constexpr int kWidestColumnChars = 40;
}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), model_(std::make_unique<GridModel>()) {
  setModel(model_.get());
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

FlexGrid::~FlexGrid() {
  // The view lets go of its models before they go.
  setModel(nullptr);
}

void FlexGrid::ShowResult(jetsql::RecordSet result) {
  ResultLoad load(this);
  load.Fields(result.field_names, result.field_types);
  for (std::vector<jet::Value>& row : result.rows) {
    load.Row(row);
    std::vector<jet::Value>().swap(row);
  }
  load.Finish();
}

void FlexGrid::Switch(GridModel* model) {
  QItemSelectionModel* old_selection = selectionModel();
  setModel(model);
  if (old_selection != nullptr && old_selection != selectionModel()) old_selection->deleteLater();
}

void FlexGrid::Preview(std::unique_ptr<GridModel> pending) {
  if (kept_ != nullptr) {
    // A second preview replaces the first; the kept result stays kept.
    Switch(pending.get());
    model_ = std::move(pending);
  } else {
    kept_state_.columns = horizontalHeader()->saveState();
    kept_state_.vertical = verticalScrollBar()->value();
    kept_state_.horizontal = horizontalScrollBar()->value();
    kept_state_.current = currentIndex();
    kept_state_.selection = selectionModel()->selection();
    Switch(pending.get());
    kept_ = std::exchange(model_, std::move(pending));
  }
  StartOver();
}

void FlexGrid::StartOver() {
  // Back to the top first, so that the columns are measured on the first records.
  ScrollToTopLeft();
  SizeColumnsToContents();
  measured_rows_ = model_->rowCount();
  if (model_->rowCount() > 0 && model_->columnCount() > 0) {
    setCurrentIndex(model_->index(0, 0));
  }
  ScrollToTopLeft();
}

void FlexGrid::Adopt() {
  if (kept_ == nullptr) return;
  model_->ShowAppended();
  // Columns sized on the few records there were at first are sized again on the first page.
  // The view stayed at the top: no input reaches it while a statement runs.
  if (measured_rows_ < std::min(model_->rowCount(), kRowsMeasured)) {
    SizeColumnsToContents();
    if (!currentIndex().isValid() && model_->rowCount() > 0 && model_->columnCount() > 0) {
      setCurrentIndex(model_->index(0, 0));
    }
    ScrollToTopLeft();
  }
  kept_state_ = ViewState();
  kept_.reset();
  GiveBackFreedMemory();
}

void FlexGrid::Restore() {
  if (kept_ == nullptr) return;
  Switch(kept_.get());
  model_ = std::move(kept_);
  horizontalHeader()->restoreState(kept_state_.columns);
  executeDelayedItemsLayout();
  updateGeometries();
  if (kept_state_.current.isValid()) {
    selectionModel()->setCurrentIndex(kept_state_.current, QItemSelectionModel::NoUpdate);
  }
  selectionModel()->select(kept_state_.selection, QItemSelectionModel::ClearAndSelect);
  verticalScrollBar()->setValue(kept_state_.vertical);
  horizontalScrollBar()->setValue(kept_state_.horizontal);
  kept_state_ = ViewState();
  GiveBackFreedMemory();
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
