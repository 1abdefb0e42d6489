#include "db/shared_databases.h"

#include <filesystem>
#include <map>
#include <mutex>

#include "jetsql/open_for_changes.h"

namespace db {
namespace {

std::string Key(const std::string& path) {
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}

}  // namespace

std::shared_ptr<jet::Database> SharedDatabase(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<jet::Database>> open;
  std::lock_guard<std::mutex> lock(mutex);
  const std::string key = Key(path);
  if (auto db = open[key].lock()) return db;
  std::shared_ptr<jet::Database> db = jetsql::OpenForChanges(path);
  open[key] = db;
  return db;
}

}  // namespace db
