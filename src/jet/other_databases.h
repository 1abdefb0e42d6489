#ifndef QUORLA_JET_OTHER_DATABASES_H_
#define QUORLA_JET_OTHER_DATABASES_H_

// The other Jet files a database reads from: those its linked tables live in, and those a
// statement names (FROM t IN 'file', [;DATABASE=file].t). Each is opened read-only once, by the
// path it resolves to, and kept while the database is open; a read scope on the database
// (BeginRead/EndRead) covers them too.

#include <map>
#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/env.h"

namespace jet {

// How deep links may lead from file to file (a linked table whose data lies in a linked table
// of another file, ...). A link back to where it started would go on for ever.
inline constexpr int kMaxLinkDepth = 8;

class OtherDatabases {
 public:
  // For the database at `path`, itself reached over `depth` links.
  OtherDatabases(Env& env, std::string path, int depth);
  ~OtherDatabases();

  // The file at `path`, relative to this database's folder when not absolute. Throws Error 3044
  // when its folder does not exist, 3024 when the file does not, else as Database::Open.
  std::shared_ptr<Database> Named(const std::string& path);

  // The path of the file `path` names, resolved and checked as for Named, without opening it.
  std::string PathOf(const std::string& path) const;

  // The file a linked table's data lies in: `stored` as the catalogue records it (usually an
  // absolute Windows path) when it exists here, else the file of the same name beside this
  // database. Errors name `stored`, as Named's do.
  std::shared_ptr<Database> Linked(const std::string& stored);

  // A read scope on the database: the files opened so far and later join it.
  void BeginRead();
  void EndRead();

 private:
  std::shared_ptr<Database> Open(const std::string& resolved);
  [[noreturn]] void ThrowMissing(const std::string& shown, const std::string& resolved) const;
  std::string Resolve(const std::string& path) const;

  Env& env_;
  std::string folder_;
  int depth_;
  int read_depth_ = 0;
  std::map<std::string, std::shared_ptr<Database>> open_;  // by resolved path
};

}  // namespace jet

#endif  // QUORLA_JET_OTHER_DATABASES_H_
