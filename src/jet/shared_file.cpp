#include "jet/shared_file.h"

#include <thread>

#include "jet/access_lock_file.h"
#include "jet/error.h"
#include "jet/journal.h"
#include "jet/journal_format.h"

namespace jet {

void ThrowLocked() {
  throw errors::Locked();
}

SharedFile::SharedFile(Env& env, std::string path, SharedFileOptions options)
    : env_(env),
      path_(std::move(path)),
      journal_path_(journal::PathFor(path_)),
      options_(options) {}

SharedFile::~SharedFile() {
  if (lock_file_ == nullptr) return;
  try {
    Acquire(lock_byte::kUsersByte, LockMode::kExclusive);
    lock_file_->Leave();
    locks_->Unlock(lock_byte::kUsersByte, 1);
  } catch (const Error&) {
    // Another user is joining or leaving, or the folder refuses: the entry stays, as after a
    // crash, and the last user to leave removes the file.
  }
}

std::unique_ptr<SharedFile> SharedFile::Open(Env& env, const std::string& path, bool for_writing,
                                             SharedFileOptions options) {
  std::unique_ptr<SharedFile> shared(new SharedFile(env, path, options));
  if (for_writing) {
    std::unique_ptr<WritableFile> file = env.OpenWritable(path);
    shared->writable_ = file.get();
    shared->file_ = std::move(file);
  } else {
    shared->file_ = env.OpenReadable(path);
  }
  shared->locks_ = env.OpenLocks(path);
  if (env.FileExists(shared->journal_path_)) {
    shared->LockShared();  // rolls back a journal that is hot
    shared->UnlockShared();
  }
  shared->stamp_ = env.Stamp(path);
  return shared;
}

void SharedFile::JoinLockFile() {
  if (lock_file_ != nullptr) return;
  Acquire(lock_byte::kUsersByte, LockMode::kExclusive);
  try {
    lock_file_ = AccessLockFile::Join(env_, path_);
  } catch (...) {
    locks_->Unlock(lock_byte::kUsersByte, 1);
    throw;
  }
  locks_->Unlock(lock_byte::kUsersByte, 1);
}

void SharedFile::Acquire(uint64_t byte, LockMode mode) {
  auto deadline = std::chrono::steady_clock::now() + options_.lock_wait;
  while (!locks_->TryLock(byte, 1, mode)) WaitToRetry(deadline);
}

void SharedFile::WaitToRetry(std::chrono::steady_clock::time_point deadline) {
  if (std::chrono::steady_clock::now() >= deadline) ThrowLocked();
  std::this_thread::sleep_for(options_.lock_retry);
}

void SharedFile::ShutOutReaders() {
  Acquire(lock_byte::kPendingByte, LockMode::kExclusive);
  try {
    Acquire(lock_byte::kReadByte, LockMode::kExclusive);
  } catch (...) {
    locks_->Unlock(lock_byte::kPendingByte, 1);
    throw;
  }
}

void SharedFile::LetReadersIn() {
  locks_->Unlock(lock_byte::kReadByte, 1);
  locks_->Unlock(lock_byte::kPendingByte, 1);
}

void SharedFile::BecomeWriter() {
  writer_ = true;
  try {
    RecoverHotJournal();
  } catch (...) {
    UnlockWriter();
    throw;
  }
}

bool SharedFile::Changed() {
  FileStamp now = env_.Stamp(path_);
  bool changed = now != stamp_;
  stamp_ = now;
  return changed;
}

bool SharedFile::LockShared() {
  if (shared_) return false;
  auto deadline = std::chrono::steady_clock::now() + options_.lock_wait;
  for (;;) {
    // A commit waiting for readers holds the pending byte: new readers queue behind it.
    Acquire(lock_byte::kPendingByte, LockMode::kShared);
    bool got = locks_->TryLock(lock_byte::kReadByte, 1, LockMode::kShared);
    locks_->Unlock(lock_byte::kPendingByte, 1);
    if (!got) Acquire(lock_byte::kReadByte, LockMode::kShared);
    shared_ = true;
    if (writer_ || !env_.FileExists(journal_path_)) break;
    // The journal's writer holds the journal byte as long as it lives; while readers are in, it
    // has not begun to change the file.
    if (!locks_->TryLock(lock_byte::kJournalByte, 1, LockMode::kShared)) break;
    locks_->Unlock(lock_byte::kJournalByte, 1);
    UnlockShared();
    if (locks_->TryLock(lock_byte::kWriterByte, 1, LockMode::kExclusive)) {
      BecomeWriter();
      UnlockWriter();
      continue;
    }
    // A writer is in: it rolls the journal back before anything else.
    WaitToRetry(deadline);
  }
  return Changed();
}

void SharedFile::UnlockShared() {
  if (!shared_) return;
  locks_->Unlock(lock_byte::kReadByte, 1);
  shared_ = false;
}

bool SharedFile::LockWriter() {
  if (writer_) return false;
  // Holding the read byte while waiting for the writer byte could deadlock with a committer.
  UnlockShared();
  Acquire(lock_byte::kWriterByte, LockMode::kExclusive);
  BecomeWriter();
  return Changed();
}

void SharedFile::UnlockWriter() {
  if (!writer_) return;
  locks_->Unlock(lock_byte::kWriterByte, 1);
  writer_ = false;
}

void SharedFile::RecoverHotJournal() {
  if (!env_.FileExists(journal_path_)) return;
  ShutOutReaders();
  FileStamp before = env_.Stamp(path_);
  try {
    std::unique_ptr<WritableFile> own;
    WritableFile* target = writable_;
    if (target == nullptr) {
      own = env_.OpenWritable(path_);
      target = own.get();
    }
    RollBackJournal(env_, journal_path_, *target);
    env_.AdvanceStamp(path_, before);
  } catch (...) {
    LetReadersIn();
    throw;
  }
  LetReadersIn();
}

void SharedFile::BeginCommit(size_t page_size, std::span<const uint32_t> overwritten,
                             uint64_t original_size) {
  if (!writer_ || writable_ == nullptr) {
    throw errors::Internal("Interner Fehler: Schreiben ohne Schreibsperre.");
  }
  committing_ = true;
  try {
    Acquire(lock_byte::kJournalByte, LockMode::kExclusive);
    WriteJournal(env_, journal_path_, *file_, page_size, original_size, overwritten);
    ShutOutReaders();
  } catch (...) {
    committing_ = false;
    try {
      env_.RemoveFile(journal_path_);
    } catch (const Error&) {
      // Left behind incomplete or unused: the database is untouched, the next opener removes it.
    }
    locks_->Unlock(lock_byte::kJournalByte, 1);
    throw;
  }
}

void SharedFile::EndCommit() {
  // Removing the journal is the moment of commit. Syncing the folder afterwards only makes the
  // removal durable sooner; when it fails the journal might come back after a power cut and undo
  // the commit, which is still a whole state.
  env_.RemoveFile(journal_path_);
  try {
    env_.SyncDirectory(DirectoryOf(journal_path_));
  } catch (const Error&) {
  }
  env_.AdvanceStamp(path_, stamp_);
  stamp_ = env_.Stamp(path_);
  committing_ = false;
  locks_->Unlock(lock_byte::kJournalByte, 1);
  LetReadersIn();
}

void SharedFile::AbortCommit() {
  if (!committing_) return;
  committing_ = false;
  try {
    FileStamp before = stamp_;
    RollBackJournal(env_, journal_path_, *writable_);
    env_.AdvanceStamp(path_, before);
  } catch (const Error&) {
    // The journal stays: whoever locks the file next rolls it back. Readers let in below find it
    // without its writer, so hot, rather than taking the half-written file for whole.
  }
  stamp_ = env_.Stamp(path_);
  locks_->Unlock(lock_byte::kJournalByte, 1);
  LetReadersIn();
}

}  // namespace jet
