#include "support/jet_samples.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorla_test {

std::string JetSamplesDir() {
#ifdef QUORLA_SAMPLES_DIR
  if (std::filesystem::is_directory(QUORLA_SAMPLES_DIR)) return QUORLA_SAMPLES_DIR;
#endif
  return "";
}

std::vector<std::string> JetSampleFiles(const std::string& subfolder) {
  std::vector<std::string> files;
  std::string dir = JetSamplesDir();
  if (dir.empty() || !std::filesystem::is_directory(dir + "/" + subfolder)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir + "/" + subfolder)) {
    if (entry.path().extension() == ".mdb") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorla-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  char* made = mkdtemp(buffer.data());
  return made ? std::string(made) : std::string();
}

std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int status = pclose(pipe);
  if (status != 0) return std::nullopt;
  return out;
}

bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + ShellQuote(name) + " >/dev/null 2>&1").has_value();
}

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace quorla_test
