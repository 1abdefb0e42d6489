#include "jet/decimal_text.h"

#include <algorithm>

namespace jet {

void AppendScaledText(bool negative, unsigned __int128 magnitude, unsigned scale,
                      std::string& out) {
  std::string digits;
  do {
    digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  const bool zero = digits == "0";
  while (digits.size() <= scale) digits.push_back('0');
  std::reverse(digits.begin(), digits.end());
  if (negative && !zero) out.push_back('-');
  size_t integer_digits = digits.size() - scale;
  out.append(digits, 0, integer_digits);
  if (scale > 0) {
    out.push_back('.');
    out.append(digits, integer_digits, std::string::npos);
  }
}

void AppendDecimalText(const Decimal& value, std::string& out) {
  AppendScaledText(value.negative, value.mantissa, value.scale, out);
}

std::string DecimalText(const Decimal& value) {
  std::string out;
  AppendDecimalText(value, out);
  return out;
}

}  // namespace jet
