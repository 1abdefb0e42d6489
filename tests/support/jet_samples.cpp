#include "support/jet_samples.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "jet/database.h"
#include "support/temp_dir.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;

void CopyWritable(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write);
}

size_t ColumnOf(const jet::TableDef& def, const std::string& name) {
  for (size_t c = 0; c < def.columns.size(); ++c) {
    if (def.columns[c].name == name) return c;
  }
  throw std::runtime_error("no column " + name + " in " + def.name);
}

}  // namespace

void PrintTo(const SampleFile& file, std::ostream* os) {
  *os << file.folder << "/" << file.stem;
}

bool HaveSamples() {
  std::error_code ec;
  return fs::is_directory(QUORLA_SAMPLES_DIR, ec);
}

std::string SamplePath(const std::string& relative) {
  return std::string(QUORLA_SAMPLES_DIR) + "/" + relative;
}

std::vector<SampleFile> SampleFiles(const std::vector<std::string>& folders) {
  std::vector<SampleFile> files;
  for (const std::string& folder : folders) {
    std::error_code ec;
    fs::path dir = fs::path(QUORLA_SAMPLES_DIR) / folder;
    if (!fs::is_directory(dir, ec)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
      if (entry.path().extension() != ".mdb") continue;
      files.push_back({entry.path().string(), folder, entry.path().stem().string()});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const SampleFile& a, const SampleFile& b) { return a.path < b.path; });
  return files;
}

void CopySample(const std::string& relative, const std::string& path) {
  const std::string source = SamplePath(relative);
  if (!fs::exists(source)) throw std::runtime_error("sample missing: " + source);
  CopyWritable(source, path);
}

void CopyProjects(const std::string& path) {
  static TempDir dir;
  static std::string made;
  if (made.empty()) {
    const std::string file = dir.File("projects.mdb");
    CopySample("jet4/test2V2003.mdb", file);
    {
      auto db = jet::Database::OpenForWriting(file);
      const std::string table = "MSP_PROJECTS";
      auto def = db->GetTableDef(table);
      const size_t id = ColumnOf(*def, "PROJ_ID");
      const size_t name = ColumnOf(*def, "PROJ_NAME");
      const size_t author = ColumnOf(*def, "PROJ_PROP_AUTHOR");
      const size_t ole = ColumnOf(*def, "RESERVED_BINARY_DATA");
      std::vector<jet::Value> first = db->ReadRow(table, db->Scan(table)->row_id());
      db->BeginStatement();
      for (int n = 2; n <= kProjectRows; ++n) {
        std::vector<jet::Value> row = first;
        row[id] = int32_t{n};
        row[name] = "Projekt " + std::to_string(n);
        switch (n % 4) {
          case 0:
            row[author] = jet::Value();
            break;
          case 1:
            row[author] = "Autor " + std::to_string(n);
            break;
          case 2:
            row[author] = std::string(3000, 'a') + std::to_string(n);
            break;
          default:
            row[author] = std::string(5000, 'A') + std::to_string(n);
        }
        if (n % 10 != 0) row[ole] = jet::Value();
        db->InsertRow(table, row);
      }
      db->CommitStatement();
    }
    made = file;
  }
  CopyWritable(made, path);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadTextFile(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path.string());
  return std::string(bytes.begin(), bytes.end());
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport
