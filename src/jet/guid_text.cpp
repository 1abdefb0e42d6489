#include "jet/guid_text.h"

namespace jet {

void AppendGuidText(const Guid& guid, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr int kOrder[] = {3,  2, 1, 0,  -1, 5,  4,  -1, 7,  6,
                                   -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
  out.push_back('{');
  for (int i : kOrder) {
    if (i < 0) {
      out.push_back('-');
    } else {
      uint8_t b = guid[static_cast<size_t>(i)];
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  out.push_back('}');
}

std::string GuidText(const Guid& guid) {
  std::string out;
  AppendGuidText(guid, out);
  return out;
}

}  // namespace jet
