#ifndef QUORLA_TESTS_SUPPORT_FAULT_ENV_H_
#define QUORLA_TESTS_SUPPORT_FAULT_ENV_H_

// The real file system with faults on demand: a chosen write, sync or folder sync fails (a write
// possibly after writing part of its bytes), once or from then on, and files can be made to look
// read-only. Operations are counted per kind and file name suffix, so a test can walk a fault
// through every step of a commit.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/env.h"

namespace testsupport {

enum class FaultOp { kWrite, kSync, kSyncDirectory, kTruncate, kRemove };

enum class FaultKind {
  kError,       // the operation does nothing and throws
  kShortWrite,  // a write stores half its bytes, then throws
};

// One place where a commit touches the disk: an operation on the journal, the folder or the
// database file (named by the end of its path), failing or cut short.
struct FaultPoint {
  FaultOp op;
  std::string suffix;
  FaultKind kind;
  const char* name;
};

// Every such place, for a database file whose path ends with `database` (".mdb").
std::vector<FaultPoint> CommitFaultPoints(const std::string& database);

class FaultEnv : public jet::Env {
 public:
  FaultEnv() : base_(jet::Env::Default()) {}

  // The operation `op` on a file whose path ends with `suffix` ("" for every file; for folder
  // syncs the folder's path) fails at its `nth` occurrence from now (0 = the next one). With
  // `sticky` every later one fails too.
  void Fail(FaultOp op, std::string suffix, int nth, FaultKind kind = FaultKind::kError,
            bool sticky = false);
  void Heal() { armed_ = false; }
  // Whether the armed fault has struck.
  bool struck() const { return struck_; }
  // OpenWritable and CreateWritable refuse with 3027, as on a read-only medium.
  void set_read_only(bool on) { read_only_ = on; }

  std::unique_ptr<jet::RandomAccessFile> OpenReadable(const std::string& path) override;
  std::unique_ptr<jet::WritableFile> OpenWritable(const std::string& path) override;
  std::unique_ptr<jet::WritableFile> CreateWritable(const std::string& path) override;
  bool FileExists(const std::string& path) override { return base_.FileExists(path); }
  void RemoveFile(const std::string& path) override;
  void SyncDirectory(const std::string& dir) override;
  std::unique_ptr<jet::RangeLocks> OpenLocks(const std::string& path) override {
    return base_.OpenLocks(path);
  }
  jet::FileStamp Stamp(const std::string& path) override { return base_.Stamp(path); }
  void AdvanceStamp(const std::string& path, const jet::FileStamp& before) override {
    base_.AdvanceStamp(path, before);
  }
  std::string MachineName() override { return base_.MachineName(); }

  // Called by the wrapped files: whether this operation fails, and how.
  bool ShouldFail(FaultOp op, const std::string& path, FaultKind& kind);

 private:
  jet::Env& base_;
  bool armed_ = false;
  bool struck_ = false;
  bool read_only_ = false;
  FaultOp op_ = FaultOp::kWrite;
  std::string suffix_;
  int remaining_ = 0;
  FaultKind kind_ = FaultKind::kError;
  bool sticky_ = false;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_FAULT_ENV_H_
