#ifndef QUORLA_JET_ACCESS_LOCK_FILE_H_
#define QUORLA_JET_ACCESS_LOCK_FILE_H_

// Access's lock file: "name.ldb" beside "name.mdb", present while the database is open for
// writing, so that Access users of a shared folder see it in use. It is an array of up to 255
// entries of 64 bytes, one per user: the computer name (32 bytes, NUL-padded) and the security
// name "Admin" (32 bytes, space-padded). Each user holds a lock on its own entry; the last user to
// leave removes the file. The caller serialises Join and Leave between processes.

#include <memory>
#include <string>

#include "jet/env.h"

namespace jet {

namespace lock_file {
inline constexpr size_t kEntrySize = 64;
inline constexpr size_t kNameSize = 32;
inline constexpr size_t kMaxEntries = 255;
inline constexpr const char* kUserName = "Admin";
}  // namespace lock_file

// "dir/name.ldb" for "dir/name.mdb" (the last extension replaced; added when there is none).
std::string LockFilePathFor(const std::string& database_path);

class AccessLockFile {
 public:
  // Creates the lock file when needed and writes this user's entry into a free one. Throws
  // Error 3027 when the folder is read-only, 3218 when every entry is taken.
  static std::unique_ptr<AccessLockFile> Join(Env& env, const std::string& database_path);
  ~AccessLockFile();  // leaves the entry without removing the file
  AccessLockFile(const AccessLockFile&) = delete;
  AccessLockFile& operator=(const AccessLockFile&) = delete;

  // Gives up this user's entry and removes the file when no other user holds one.
  void Leave();

 private:
  AccessLockFile(Env& env, std::string path) : env_(env), path_(std::move(path)) {}

  Env& env_;
  std::string path_;
  std::unique_ptr<RangeLocks> entries_;
  size_t entry_ = 0;
};

}  // namespace jet

#endif  // QUORLA_JET_ACCESS_LOCK_FILE_H_
