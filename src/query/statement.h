#ifndef QUORLA_QUERY_STATEMENT_H_
#define QUORLA_QUERY_STATEMENT_H_

#include <cstdint>
#include <string>

namespace query {

// The keyword that sends a statement to the result grid instead of executing it.
inline constexpr const char* kRowReturningKeyword = "select";

// True when the first six characters, in lower case, are exactly "select".
bool IsRowReturning(const std::string& text);

// The size caption: records and fields (rows and cols less the fixed ones), each with the
// number-to-text rule, joined by "  x ": " 25  x  4".
std::string SizeCaption(int32_t rows, int32_t cols);

// "select * from [name]", the name unchanged.
std::string PreviewStatement(const std::string& table);

}  // namespace query

#endif  // QUORLA_QUERY_STATEMENT_H_
