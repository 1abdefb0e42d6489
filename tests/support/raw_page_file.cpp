#include "support/raw_page_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

namespace {

constexpr size_t kVersionOffset = 0x14;
constexpr size_t kJet3PageSize = 2048;
constexpr size_t kJet4PageSize = 4096;

}  // namespace

RawPageFile::RawPageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes_.size() <= kVersionOffset) throw std::runtime_error("file too short");
  version_ = bytes_[kVersionOffset] == 0 ? jet::JetVersion::kJet3 : jet::JetVersion::kJet4;
  page_size_ = version_ == jet::JetVersion::kJet3 ? kJet3PageSize : kJet4PageSize;
}

std::span<const uint8_t> RawPageFile::Page(uint32_t number) {
  if (number >= page_count()) {
    throw jet::Error(jet::err::kUnrecognizedFormat, "page past the end");
  }
  return std::span<const uint8_t>(bytes_.data() + size_t{number} * page_size_, page_size_);
}

}  // namespace testsupport
