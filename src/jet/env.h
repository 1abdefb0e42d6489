#ifndef QUORLA_JET_ENV_H_
#define QUORLA_JET_ENV_H_

// The engine's view of the file system: opening, creating and removing files, syncing a folder,
// byte-range locks and change stamps. Everything the pager, its journal and the lock file touch
// goes through an Env, so tests can substitute one that fails or cuts short writes and syncs.

#include <cstdint>
#include <memory>
#include <string>

#include "jet/file.h"

namespace jet {

// What tells one state of a file from the next: a commit always changes it.
struct FileStamp {
  bool exists = false;
  uint64_t size = 0;
  int64_t mtime_ns = 0;
  uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};

enum class LockMode { kShared, kExclusive };

// Byte-range locks taken through one handle on a file. Locks of different handles conflict even
// inside one process; every lock of a handle ends with it (also when its process dies).
class RangeLocks {
 public:
  virtual ~RangeLocks() = default;
  // Takes, or changes the mode of, the lock on [offset, offset + length) without waiting.
  // Returns false when another handle holds a conflicting lock. Throws Error on other failures
  // (3027 for an exclusive lock on a file this process may not write).
  virtual bool TryLock(uint64_t offset, uint64_t length, LockMode mode) = 0;
  virtual void Unlock(uint64_t offset, uint64_t length) = 0;
};

class Env {
 public:
  virtual ~Env() = default;
  // The real file system.
  static Env& Default();

  // Throws Error 3024 when missing, 3343 when not a readable regular file.
  virtual std::unique_ptr<RandomAccessFile> OpenReadable(const std::string& path) = 0;
  // An existing file for reading and writing; Error 3027 when it or its medium is read-only.
  virtual std::unique_ptr<WritableFile> OpenWritable(const std::string& path) = 0;
  // Creates `path` empty (an existing file is cut to nothing). Error 3027 when the folder is
  // read-only.
  virtual std::unique_ptr<WritableFile> CreateWritable(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Removes `path`; a file that is already gone is no error.
  virtual void RemoveFile(const std::string& path) = 0;
  // Makes the creation and removal of files in folder `dir` durable.
  virtual void SyncDirectory(const std::string& dir) = 0;
  // A handle for byte-range locks on `path` (opened for writing where allowed).
  virtual std::unique_ptr<RangeLocks> OpenLocks(const std::string& path) = 0;
  virtual FileStamp Stamp(const std::string& path) = 0;
  // After a change to `path`: when its stamp still equals `before` (a coarse file-system clock),
  // moves its modification time on so that the stamp differs. Best effort.
  virtual void AdvanceStamp(const std::string& path, const FileStamp& before) = 0;
  // This computer's name, as the lock file records it.
  virtual std::string MachineName() = 0;
};

// The folder holding `path` ("." for a bare file name).
std::string DirectoryOf(const std::string& path);

}  // namespace jet

#endif  // QUORLA_JET_ENV_H_
