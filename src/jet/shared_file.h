#ifndef QUORLA_JET_SHARED_FILE_H_
#define QUORLA_JET_SHARED_FILE_H_

// A database file shared with other processes: its locks, the rollback journal of a commit and
// the recognition of other processes' commits.
//
// Lock protocol (byte-range locks on the database file itself, past 2 GiB where a Jet 4 file
// never has data; each process's locks end when it dies):
//   kPendingByte  exclusive while a commit waits for readers to finish; new readers wait on it
//   kWriterByte   exclusive for the whole of a write transaction: one writer at a time
//   kReadByte     shared while a read statement reads pages; exclusive while a commit writes
//   kUsersByte    exclusive while the lock file (name.ldb) gains or loses a user
//   kJournalByte  exclusive while a commit's journal exists: its writer is alive
// Lock waits retry for `lock_wait` and then give Error 3218.
//
// Commit: the journal (journal_format.h) is written and synced with its folder, the read byte
// taken exclusively, the pages written and the database synced, the journal removed and the
// folder synced; only then do readers get in again. A journal found with no writer holding
// kJournalByte was left by a writer that died or failed to restore the file: it is rolled back
// (under kWriterByte) before anyone reads.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "jet/env.h"
#include "jet/file.h"

namespace jet {

class AccessLockFile;

struct SharedFileOptions {
  std::chrono::milliseconds lock_wait{2000};
  std::chrono::milliseconds lock_retry{5};
};

namespace lock_byte {
inline constexpr uint64_t kPendingByte = 0x80000000;
inline constexpr uint64_t kWriterByte = kPendingByte + 1;
inline constexpr uint64_t kReadByte = kPendingByte + 2;
inline constexpr uint64_t kUsersByte = kPendingByte + 3;
inline constexpr uint64_t kJournalByte = kPendingByte + 4;
}  // namespace lock_byte

// Error 3218, a lock another process holds did not come free in time.
[[noreturn]] void ThrowLocked();

class SharedFile {
 public:
  // Opens `path` through `env`, for writing (Error 3027 when it or its medium is read-only) or
  // for reading, and rolls back a journal a dead writer left behind.
  static std::unique_ptr<SharedFile> Open(Env& env, const std::string& path, bool for_writing,
                                          SharedFileOptions options = {});
  ~SharedFile();
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;

  const std::string& path() const { return path_; }
  RandomAccessFile& file() { return *file_; }
  WritableFile* writable() { return writable_; }

  // Enters this process in the lock file beside the database (Access's name.ldb) until closed.
  void JoinLockFile();

  // The Lock calls return true when another process changed the file since this handle last
  // looked: pages read before are stale.
  bool LockShared();
  void UnlockShared();
  bool LockWriter();  // gives up a shared lock of this handle first
  void UnlockWriter();

  // Under the writer lock: journals the pages `overwritten` as stored now and the file's size,
  // then shuts readers out. On failure nothing was changed and the journal is gone again.
  void BeginCommit(size_t page_size, std::span<const uint32_t> overwritten, uint64_t original_size);
  // After the pages were written and synced: removes the journal and lets readers in.
  void EndCommit();
  // After a failure between BeginCommit and EndCommit: restores the file from the journal. When
  // that fails too, the journal stays for the next opener. Never throws.
  void AbortCommit();

 private:
  SharedFile(Env& env, std::string path, SharedFileOptions options);

  void Acquire(uint64_t byte, LockMode mode);
  // Sleeps before the next attempt at a lock, or gives up with 3218 once `deadline` has passed.
  void WaitToRetry(std::chrono::steady_clock::time_point deadline);
  // The pending byte, then the read byte exclusively: no reader is in or can come in.
  void ShutOutReaders();
  void LetReadersIn();
  bool Changed();
  // Takes the writer byte as held and rolls back a journal found beside the file; on failure
  // the writer byte is given up again.
  void BecomeWriter();
  // With kWriterByte held: rolls back a journal found beside the file.
  void RecoverHotJournal();

  Env& env_;
  std::string path_;
  std::string journal_path_;
  SharedFileOptions options_;
  std::unique_ptr<RandomAccessFile> file_;
  WritableFile* writable_ = nullptr;
  std::unique_ptr<RangeLocks> locks_;
  std::unique_ptr<AccessLockFile> lock_file_;
  FileStamp stamp_;
  bool shared_ = false;
  bool writer_ = false;
  bool committing_ = false;
};

}  // namespace jet

#endif  // QUORLA_JET_SHARED_FILE_H_
