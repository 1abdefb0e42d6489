#include "support/fault_env.h"

#include "jet/error.h"

namespace testsupport {

std::vector<FaultPoint> CommitFaultPoints(const std::string& database) {
  return {
      {FaultOp::kWrite, "-journal", FaultKind::kError, "journal write fails"},
      {FaultOp::kWrite, "-journal", FaultKind::kShortWrite, "journal write cut short"},
      {FaultOp::kSync, "-journal", FaultKind::kError, "journal sync fails"},
      {FaultOp::kSyncDirectory, "", FaultKind::kError, "folder sync fails"},
      {FaultOp::kWrite, database, FaultKind::kError, "database write fails"},
      {FaultOp::kWrite, database, FaultKind::kShortWrite, "database write cut short"},
      {FaultOp::kSync, database, FaultKind::kError, "database sync fails"},
      {FaultOp::kRemove, "-journal", FaultKind::kError, "journal removal fails"},
  };
}
namespace {

[[noreturn]] void ThrowInjected() {
  throw errors::DiskIo();
}

class FaultFile : public jet::WritableFile {
 public:
  FaultFile(FaultEnv& env, std::unique_ptr<jet::WritableFile> inner, std::string path)
      : env_(env), inner_(std::move(inner)), path_(std::move(path)) {}

  uint64_t Size() const override { return inner_->Size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    return inner_->Read(offset, out);
  }
  void Write(uint64_t offset, std::span<const uint8_t> bytes) override {
    FaultKind kind;
    if (env_.ShouldFail(FaultOp::kWrite, path_, kind)) {
      if (kind == FaultKind::kShortWrite) inner_->Write(offset, bytes.first(bytes.size() / 2));
      ThrowInjected();
    }
    inner_->Write(offset, bytes);
  }
  void Sync() override {
    FaultKind kind;
    if (env_.ShouldFail(FaultOp::kSync, path_, kind)) ThrowInjected();
    inner_->Sync();
  }
  void Truncate(uint64_t size) override {
    FaultKind kind;
    if (env_.ShouldFail(FaultOp::kTruncate, path_, kind)) ThrowInjected();
    inner_->Truncate(size);
  }

 private:
  FaultEnv& env_;
  std::unique_ptr<jet::WritableFile> inner_;
  std::string path_;
};

[[noreturn]] void ThrowReadOnly() {
  throw errors::ReadOnly();
}

}  // namespace

void FaultEnv::Fail(FaultOp op, std::string suffix, int nth, FaultKind kind, bool sticky) {
  armed_ = true;
  struck_ = false;
  op_ = op;
  suffix_ = std::move(suffix);
  remaining_ = nth;
  kind_ = kind;
  sticky_ = sticky;
}

bool FaultEnv::ShouldFail(FaultOp op, const std::string& path, FaultKind& kind) {
  if (!armed_ || op != op_) return false;
  if (path.size() < suffix_.size() ||
      path.compare(path.size() - suffix_.size(), suffix_.size(), suffix_) != 0) {
    return false;
  }
  if (remaining_ > 0) {
    --remaining_;
    return false;
  }
  struck_ = true;
  if (!sticky_) armed_ = false;
  kind = kind_;
  return true;
}

std::unique_ptr<jet::RandomAccessFile> FaultEnv::OpenReadable(const std::string& path) {
  return base_.OpenReadable(path);
}

std::unique_ptr<jet::WritableFile> FaultEnv::OpenWritable(const std::string& path) {
  if (read_only_) ThrowReadOnly();
  return std::make_unique<FaultFile>(*this, base_.OpenWritable(path), path);
}

std::unique_ptr<jet::WritableFile> FaultEnv::CreateWritable(const std::string& path) {
  if (read_only_) ThrowReadOnly();
  return std::make_unique<FaultFile>(*this, base_.CreateWritable(path), path);
}

void FaultEnv::RemoveFile(const std::string& path) {
  FaultKind kind;
  if (ShouldFail(FaultOp::kRemove, path, kind)) ThrowInjected();
  base_.RemoveFile(path);
}

void FaultEnv::SyncDirectory(const std::string& dir) {
  FaultKind kind;
  if (ShouldFail(FaultOp::kSyncDirectory, dir, kind)) ThrowInjected();
  base_.SyncDirectory(dir);
}

}  // namespace testsupport
