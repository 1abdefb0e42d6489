#include "query/data_control.h"

#include "jet/error.h"
#include "query/cancel_watch.h"

namespace query {

DataControl::DataControl(std::shared_ptr<db::FileEngine> engine, QWidget* parent)
    : QWidget(parent), engine_(std::move(engine)) {
  hide();
}

void DataControl::Refresh() {
  if (database_name_.empty()) {
    throw errors::FileNotFound("");
  }
  CancelWatch watch;
  jetsql::RecordSet result =
      engine_->Query(database_name_, record_source_, [&watch] { return watch.Cancelled(); });
  if (grid_) grid_->ShowResult(std::move(result));
}

}  // namespace query
