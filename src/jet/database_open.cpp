#include "jet/database.h"

namespace jet {

std::unique_ptr<Database> Database::Open(const std::string& path) {
  throw Error(err::kUnrecognizedFormat, "Nicht erkanntes Datenbankformat '" + path + "'.");
}

}  // namespace jet
