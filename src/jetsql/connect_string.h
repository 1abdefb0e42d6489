#ifndef QUORLA_JETSQL_CONNECT_STRING_H_
#define QUORLA_JETSQL_CONNECT_STRING_H_

// Connect strings name another database in a FROM clause: "[;DATABASE=file].table" and
// "IN '' [MS Access;DATABASE=file]". Their first part is the database type (empty or
// "MS Access" for a Jet file), the rest key=value pairs separated by ";".

#include <optional>
#include <string>

namespace jetsql {

// The file a connect string names ("" when it names none), or nothing when `text` is no
// connect string (has no ";"). Throws Error 3170 for a type other than a Jet file's.
std::optional<std::string> ConnectStringDatabase(const std::string& text);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_CONNECT_STRING_H_
