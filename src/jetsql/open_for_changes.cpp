#include "jetsql/open_for_changes.h"

#include <filesystem>

namespace jetsql {
namespace {

bool MarkedReadOnly(const std::string& path) {
  std::error_code ec;
  const auto perms = std::filesystem::status(path, ec).permissions();
  return !ec && (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

}  // namespace

std::unique_ptr<jet::Database> OpenForChanges(const std::string& path) {
  if (!MarkedReadOnly(path)) {
    try {
      return jet::Database::OpenForWriting(path);
    } catch (const jet::Error& e) {
      if (e.number() != errors::code::kReadOnly) throw;
    }
  }
  return jet::Database::Open(path);
}

}  // namespace jetsql
