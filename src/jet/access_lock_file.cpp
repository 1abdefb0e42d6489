#include "jet/access_lock_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "jet/error.h"
#include "jet/shared_file.h"

namespace jet {

std::string LockFilePathFor(const std::string& database_path) {
  size_t slash = database_path.find_last_of('/');
  size_t dot = database_path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return database_path + ".ldb";
  }
  return database_path.substr(0, dot) + ".ldb";
}

std::unique_ptr<AccessLockFile> AccessLockFile::Join(Env& env, const std::string& database_path) {
  std::unique_ptr<AccessLockFile> lock(new AccessLockFile(env, LockFilePathFor(database_path)));
  std::unique_ptr<WritableFile> file =
      env.FileExists(lock->path_) ? env.OpenWritable(lock->path_) : env.CreateWritable(lock->path_);
  lock->entries_ = env.OpenLocks(lock->path_);
  size_t entry = 0;
  while (!lock->entries_->TryLock(entry * lock_file::kEntrySize, lock_file::kEntrySize,
                                  LockMode::kExclusive)) {
    if (++entry == lock_file::kMaxEntries) ThrowLocked();
  }
  lock->entry_ = entry;

  std::vector<uint8_t> bytes(lock_file::kEntrySize, 0);
  std::string machine = env.MachineName().substr(0, lock_file::kNameSize - 1);
  std::memcpy(bytes.data(), machine.data(), machine.size());
  std::fill(bytes.begin() + lock_file::kNameSize, bytes.end(), ' ');
  std::string user = lock_file::kUserName;
  std::memcpy(bytes.data() + lock_file::kNameSize, user.data(), user.size());
  file->Write(entry * lock_file::kEntrySize, bytes);
  return lock;
}

AccessLockFile::~AccessLockFile() = default;

void AccessLockFile::Leave() {
  if (entries_ == nullptr) return;
  entries_->Unlock(entry_ * lock_file::kEntrySize, lock_file::kEntrySize);
  // Any entry still locked belongs to another user.
  if (entries_->TryLock(0, lock_file::kEntrySize * lock_file::kMaxEntries, LockMode::kExclusive)) {
    env_.RemoveFile(path_);
  }
  entries_.reset();
}

}  // namespace jet
