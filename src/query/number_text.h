#ifndef QUORLA_QUERY_NUMBER_TEXT_H_
#define QUORLA_QUERY_NUMBER_TEXT_H_

#include <cstdint>
#include <string>

namespace query {

// A number as the window prints it: decimal digits without grouping, one leading space for a
// non-negative number, a minus sign for a negative one (" 91", "-1").
std::string NumberText(int64_t n);

}  // namespace query

#endif  // QUORLA_QUERY_NUMBER_TEXT_H_
