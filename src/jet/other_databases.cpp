#include "jet/other_databases.h"

#include <vector>

#include "error/errors.h"
#include "jet/database_file.h"

namespace jet {
namespace {

// A Windows path (C:\..., \\server\share\...): absolute, and never a file of this system.
bool IsWindowsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
}

std::string FileNameOf(const std::string& path) {
  size_t sep = path.find_last_of("/\\");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

OtherDatabases::OtherDatabases(Env& env, std::string path, int depth)
    : env_(env), folder_(DirectoryOf(path)), depth_(depth) {}

OtherDatabases::~OtherDatabases() {
  while (read_depth_ > 0) EndRead();
}

std::string OtherDatabases::Resolve(const std::string& path) const {
  if (path.empty() || path[0] == '/' || IsWindowsAbsolute(path)) return path;
  std::string relative = path;
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  return folder_ + "/" + relative;
}

std::shared_ptr<Database> OtherDatabases::Named(const std::string& path) {
  return Open(PathOf(path));
}

std::string OtherDatabases::PathOf(const std::string& path) const {
  std::string resolved = Resolve(path);
  if (resolved.empty() || !env_.FileExists(resolved)) ThrowMissing(path, resolved);
  return resolved;
}

std::shared_ptr<Database> OtherDatabases::Linked(const std::string& stored) {
  std::string resolved = Resolve(stored);
  if (!resolved.empty() && env_.FileExists(resolved)) return Open(resolved);
  std::string beside = folder_ + "/" + FileNameOf(stored);
  if (!FileNameOf(stored).empty() && env_.FileExists(beside)) return Open(beside);
  ThrowMissing(stored, resolved);
}

void OtherDatabases::ThrowMissing(const std::string& shown, const std::string& resolved) const {
  size_t sep = resolved.find_last_of("/\\");
  std::string folder = sep == std::string::npos ? "." : resolved.substr(0, sep);
  if (sep == 0) folder = "/";
  if (!IsWindowsAbsolute(resolved) && !resolved.empty() && env_.FileExists(folder)) {
    throw errors::FileNotFound(shown);
  }
  throw errors::InvalidPath(shown);
}

std::shared_ptr<Database> OtherDatabases::Open(const std::string& resolved) {
  auto found = open_.find(resolved);
  if (found != open_.end()) return found->second;
  if (depth_ >= kMaxLinkDepth) throw errors::CircularReference(FileNameOf(resolved));
  std::shared_ptr<Database> db = OpenLinkedDatabase(env_, resolved, depth_ + 1);
  for (int i = 0; i < read_depth_; ++i) db->BeginRead();
  open_.emplace(resolved, db);
  return db;
}

void OtherDatabases::BeginRead() {
  std::vector<Database*> begun;
  try {
    for (auto& [path, db] : open_) {
      db->BeginRead();
      begun.push_back(db.get());
    }
  } catch (...) {
    for (Database* db : begun) db->EndRead();
    throw;
  }
  ++read_depth_;
}

void OtherDatabases::EndRead() {
  if (read_depth_ == 0) return;
  --read_depth_;
  for (auto& [path, db] : open_) db->EndRead();
}

}  // namespace jet
