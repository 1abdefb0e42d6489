#include "query/result_load.h"

#include "query/flex_grid.h"

namespace query {

namespace {
// The grid first shows a result once it has this many records, or once it has been read for
// kFirstShowMilliseconds, whichever comes first ...
constexpr size_t kFirstRows = 500;
constexpr qint64 kFirstShowMilliseconds = 100;
// ... and then the records read since, at most this often. The window repaints at its own
// pace (query/cancel_watch.h); in between, new rows would only cost the view's bookkeeping.
constexpr qint64 kMillisecondsBetweenShows = 40;
}  // namespace

ResultLoad::ResultLoad(FlexGrid* grid, size_t memory_budget)
    : grid_(grid), memory_budget_(memory_budget) {
  clock_.start();
}

ResultLoad::~ResultLoad() {
  if (!finished_ && previewed_) grid_->Restore();
}

void ResultLoad::Fields(const std::vector<std::string>& names,
                        const std::vector<jet::ColumnType>& types) {
  pending_ =
      std::make_unique<GridModel>(names, types, std::make_unique<RecordStore>(memory_budget_));
  model_ = pending_.get();
}

void ResultLoad::Row(std::vector<jet::Value>& row) {
  model_->Append(row);
  if (grid_ != nullptr) ShowMore();
}

void ResultLoad::ShowMore() {
  const qint64 now = clock_.elapsed();
  if (previewed_) {
    if (now - shown_at_ < kMillisecondsBetweenShows) return;
    model_->ShowAppended();
  } else {
    if (model_->store()->size() < kFirstRows && now < kFirstShowMilliseconds) return;
    model_->ShowAppended();
    grid_->Preview(std::move(pending_));
    previewed_ = true;
  }
  shown_at_ = now;
}

void ResultLoad::Finish() {
  if (grid_ == nullptr || model_ == nullptr) return;
  model_->ShowAppended();
  if (!previewed_) {
    grid_->Preview(std::move(pending_));
    previewed_ = true;
  }
  grid_->Adopt();
  finished_ = true;
}

}  // namespace query
