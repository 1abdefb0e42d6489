#include "jetsql/session.h"

namespace jetsql {

Session::Session(const std::string& path) : db_(jet::Database::Open(path)) {}
Session::~Session() = default;

RecordSet Session::Query(const std::string&) {
  throw jet::Error(jet::err::kInvalidSqlStatement, "Abfragen werden noch nicht unterstützt.");
}

void Session::Execute(const std::string&) {
  throw jet::Error(jet::err::kInvalidSqlStatement,
                   "Diese Datenbank kann noch nicht geschrieben werden.");
}

}  // namespace jetsql
