#include "jet/journal.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "jet/crc32.h"
#include "jet/error.h"
#include "jet/journal_format.h"

namespace jet {
namespace {

void PutU32(std::span<uint8_t> out, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU64(std::span<uint8_t> out, size_t offset, uint64_t v) {
  for (int i = 0; i < 8; ++i) out[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(std::span<const uint8_t> in, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | in[offset + i];
  return v;
}

uint64_t GetU64(std::span<const uint8_t> in, size_t offset) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | in[offset + i];
  return v;
}

struct JournalHeader {
  size_t page_size = 0;
  uint64_t original_size = 0;
  uint32_t records = 0;
};

// The header of a journal that is complete and intact, or false.
bool CheckJournal(RandomAccessFile& journal, JournalHeader& header) {
  uint64_t size = journal.Size();
  std::vector<uint8_t> head(journal::kHeaderSize);
  if (size < journal::kHeaderSize + journal::kTrailerSize) return false;
  if (journal.Read(0, head) != head.size()) return false;
  if (!std::equal(journal::kMagic.begin(), journal::kMagic.end(), head.begin())) return false;
  if (GetU32(head, journal::kVersionOffset) != journal::kVersion) return false;
  header.page_size = GetU32(head, journal::kPageSizeOffset);
  header.original_size = GetU64(head, journal::kOriginalSizeOffset);
  header.records = GetU32(head, journal::kRecordCountOffset);
  if (header.page_size == 0 || header.page_size > (1u << 16)) return false;
  uint64_t expected = journal::kHeaderSize +
                      uint64_t{header.records} * journal::RecordSize(header.page_size) +
                      journal::kTrailerSize;
  if (size != expected) return false;

  uint32_t crc = 0;
  std::vector<uint8_t> chunk(64 * 1024);
  uint64_t body = size - journal::kTrailerSize;
  for (uint64_t at = 0; at < body;) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(chunk.size(), body - at));
    if (journal.Read(at, std::span(chunk).first(want)) != want) return false;
    crc = Crc32(std::span(chunk).first(want), crc);
    at += want;
  }
  std::vector<uint8_t> trailer(journal::kTrailerSize);
  if (journal.Read(body, trailer) != trailer.size()) return false;
  return GetU32(trailer, 0) == crc;
}

}  // namespace

void WriteJournal(Env& env, const std::string& journal_path, RandomAccessFile& database,
                  size_t page_size, uint64_t original_size, std::span<const uint32_t> pages) {
  std::unique_ptr<WritableFile> out = env.CreateWritable(journal_path);
  std::vector<uint8_t> head(journal::kHeaderSize, 0);
  std::copy(journal::kMagic.begin(), journal::kMagic.end(), head.begin());
  PutU32(head, journal::kVersionOffset, journal::kVersion);
  PutU32(head, journal::kPageSizeOffset, static_cast<uint32_t>(page_size));
  PutU64(head, journal::kOriginalSizeOffset, original_size);
  PutU32(head, journal::kRecordCountOffset, static_cast<uint32_t>(pages.size()));
  out->Write(0, head);
  uint32_t crc = Crc32(head);
  uint64_t at = head.size();

  std::vector<uint8_t> record(journal::RecordSize(page_size));
  std::span<uint8_t> image = std::span(record).subspan(journal::kRecordPageNumberSize);
  for (uint32_t page : pages) {
    PutU32(record, 0, page);
    size_t got = database.Read(uint64_t{page} * page_size, image);
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(got), image.end(), 0);
    out->Write(at, record);
    crc = Crc32(record, crc);
    at += record.size();
  }
  std::vector<uint8_t> trailer(journal::kTrailerSize);
  PutU32(trailer, 0, crc);
  out->Write(at, trailer);
  out->Sync();
  env.SyncDirectory(DirectoryOf(journal_path));
}

JournalState RollBackJournal(Env& env, const std::string& journal_path, WritableFile& database) {
  if (!env.FileExists(journal_path)) return JournalState::kNone;
  JournalState state = JournalState::kIncomplete;
  {
    std::unique_ptr<RandomAccessFile> journal = env.OpenReadable(journal_path);
    JournalHeader header;
    if (CheckJournal(*journal, header)) {
      std::vector<uint8_t> record(journal::RecordSize(header.page_size));
      uint64_t at = journal::kHeaderSize;
      for (uint32_t i = 0; i < header.records; ++i, at += record.size()) {
        if (journal->Read(at, record) != record.size()) {
          throw errors::DiskIo();
        }
        uint64_t offset = uint64_t{GetU32(record, 0)} * header.page_size;
        if (offset >= header.original_size) continue;
        size_t length = static_cast<size_t>(
            std::min<uint64_t>(header.page_size, header.original_size - offset));
        database.Write(offset, std::span(record).subspan(journal::kRecordPageNumberSize, length));
      }
      database.Truncate(header.original_size);
      database.Sync();
      state = JournalState::kRolledBack;
    }
  }
  env.RemoveFile(journal_path);
  env.SyncDirectory(DirectoryOf(journal_path));
  return state;
}

}  // namespace jet
