#include "jet/memory_file.h"

#include <algorithm>
#include <cstring>

namespace jet {
namespace {

class MemoryFile : public RandomAccessFile {
 public:
  explicit MemoryFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    if (offset >= bytes_.size()) return 0;
    size_t n = std::min<uint64_t>(out.size(), bytes_.size() - offset);
    std::memcpy(out.data(), bytes_.data() + offset, n);
    return n;
  }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> NewMemoryFile(std::vector<uint8_t> bytes) {
  return std::make_unique<MemoryFile>(std::move(bytes));
}

}  // namespace jet
