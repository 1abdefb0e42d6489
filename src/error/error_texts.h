#ifndef QUORLA_ERROR_ERROR_TEXTS_H_
#define QUORLA_ERROR_ERROR_TEXTS_H_

// The German description of every error number the program raises. A text may hold the
// placeholders |1 and |2, which Describe fills with the given arguments (names, counts, parts of
// the statement), as Jet's own message table does.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace errors {

// The text for `number` with its placeholders filled; an unknown number gives "Fehler <number>".
std::string Describe(int32_t number, std::initializer_list<std::string_view> args = {});

}  // namespace errors

#endif  // QUORLA_ERROR_ERROR_TEXTS_H_
