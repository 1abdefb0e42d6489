#include "query/data_control.h"

#include "jet/error.h"
#include "query/cancel_watch.h"
#include "query/result_load.h"

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
  ResultLoad load(grid_, memory_budget_);
  engine_->QueryInto(database_name_, record_source_, load, [&watch] { return watch.Cancelled(); });
  load.Finish();
}

}  // namespace query
