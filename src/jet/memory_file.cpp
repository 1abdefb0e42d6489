#include "jet/memory_file.h"

#include <algorithm>
#include <cstring>

namespace jet {
namespace {

size_t ReadBytes(const std::vector<uint8_t>& bytes, uint64_t offset, std::span<uint8_t> out) {
  if (offset >= bytes.size()) return 0;
  size_t n = std::min<uint64_t>(out.size(), bytes.size() - offset);
  std::memcpy(out.data(), bytes.data() + offset, n);
  return n;
}

class MemoryFile : public RandomAccessFile {
 public:
  explicit MemoryFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    return ReadBytes(bytes_, offset, out);
  }

 private:
  std::vector<uint8_t> bytes_;
};

class WritableMemoryFile : public WritableFile {
 public:
  explicit WritableMemoryFile(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    return ReadBytes(bytes_, offset, out);
  }
  void Write(uint64_t offset, std::span<const uint8_t> bytes) override {
    if (offset + bytes.size() > bytes_.size()) bytes_.resize(offset + bytes.size());
    std::memcpy(bytes_.data() + offset, bytes.data(), bytes.size());
  }
  void Sync() override {}
  void Truncate(uint64_t size) override { bytes_.resize(size); }

 private:
  std::vector<uint8_t>& bytes_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> NewMemoryFile(std::vector<uint8_t> bytes) {
  return std::make_unique<MemoryFile>(std::move(bytes));
}

std::unique_ptr<WritableFile> NewWritableMemoryFile(std::vector<uint8_t>& bytes) {
  return std::make_unique<WritableMemoryFile>(bytes);
}

}  // namespace jet
