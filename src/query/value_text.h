#ifndef QUORLA_QUERY_VALUE_TEXT_H_
#define QUORLA_QUERY_VALUE_TEXT_H_

#include <QString>

#include "jet/value.h"

namespace query {

// A value as a grid cell shows it, in the same regional settings the SQL conversions use
// (jetsql/regional_settings.h), as Access's datasheet shows a field without a format: dates in
// the short date with a four-digit year, with the time when there is one; numbers as CStr writes
// them (no grouping); Currency in the regional currency format ("1.234,50 €"); Yes/No as the
// regional words ("Wahr"/"Falsch"); Null as an empty cell; memo text on one line; binary as a
// placeholder with its size.
QString ValueText(const jet::Value& v);

}  // namespace query

#endif  // QUORLA_QUERY_VALUE_TEXT_H_
