#ifndef QUORLA_JET_GUID_TEXT_H_
#define QUORLA_JET_GUID_TEXT_H_

// A Replication ID as text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex. The first
// three groups are stored little-endian, the last eight bytes in order.

#include <string>

#include "jet/value.h"

namespace jet {

void AppendGuidText(const Guid& guid, std::string& out);
std::string GuidText(const Guid& guid);

}  // namespace jet

#endif  // QUORLA_JET_GUID_TEXT_H_
