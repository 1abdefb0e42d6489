#ifndef QUORLA_QUERY_RESULT_LOAD_H_
#define QUORLA_QUERY_RESULT_LOAD_H_

#include <QElapsedTimer>
#include <memory>
#include <string>
#include <vector>

#include "jetsql/session.h"
#include "query/grid_model.h"
#include "query/record_store.h"

namespace query {

class FlexGrid;

// Takes a statement's result row by row into a new grid model and brings it into the grid:
// the first rows as soon as there are a few hundred of them or the statement has run for a
// moment, more each time the window gets to repaint, all of them at Finish. The grid keeps
// its previous result aside until then; a load that ends without Finish (an error, Esc)
// gives the grid back its previous result as it was shown.
class ResultLoad : public jetsql::RowSink {
 public:
  // `grid` may be null: the rows are then read and dropped. Records beyond `memory_budget`
  // bytes go to a temporary file (query/record_store.h).
  explicit ResultLoad(FlexGrid* grid, size_t memory_budget = RecordStore::kDefaultMemoryBudget);
  ~ResultLoad() override;
  ResultLoad(const ResultLoad&) = delete;
  ResultLoad& operator=(const ResultLoad&) = delete;

  void Fields(const std::vector<std::string>& names,
              const std::vector<jet::ColumnType>& types) override;
  void Row(std::vector<jet::Value>& row) override;
  // The statement has ended well: the grid keeps the new result with all its rows.
  void Finish();

 private:
  void ShowMore();

  FlexGrid* grid_;
  size_t memory_budget_;
  std::unique_ptr<GridModel> pending_;  // the new result until the grid shows it
  GridModel* model_ = nullptr;          // the new result, wherever it is
  bool previewed_ = false;
  bool finished_ = false;
  QElapsedTimer clock_;
  qint64 shown_at_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_RESULT_LOAD_H_
