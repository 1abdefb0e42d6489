#ifndef QUORLA_JET_DECIMAL_TEXT_H_
#define QUORLA_JET_DECIMAL_TEXT_H_

// Exact numbers as text: an optional minus sign, the digits and, with a scale, a point and
// exactly `scale` decimals ("-12.3400"). Zero has no sign.

#include <string>

#include "jet/value.h"

namespace jet {

// Appends magnitude / 10^scale.
void AppendScaledText(bool negative, unsigned __int128 magnitude, unsigned scale, std::string& out);

void AppendDecimalText(const Decimal& value, std::string& out);
std::string DecimalText(const Decimal& value);

}  // namespace jet

#endif  // QUORLA_JET_DECIMAL_TEXT_H_
