#include "jetsql/connect_string.h"

#include <cctype>

#include "error/errors.h"

namespace jetsql {
namespace {

std::string Trim(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::optional<std::string> ConnectStringDatabase(const std::string& text) {
  size_t semicolon = text.find(';');
  if (semicolon == std::string::npos) return std::nullopt;
  const std::string type = Upper(Trim(text.substr(0, semicolon)));
  if (!type.empty() && type != "MS ACCESS") throw errors::IsamNotFound();
  size_t start = semicolon + 1;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(start, end - start);
    size_t eq = part.find('=');
    if (eq != std::string::npos && Upper(Trim(part.substr(0, eq))) == "DATABASE") {
      return Trim(part.substr(eq + 1));
    }
    start = end + 1;
  }
  return std::string();
}

}  // namespace jetsql
