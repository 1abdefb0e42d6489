#ifndef QUORLA_JET_PROPERTY_MAPS_H_
#define QUORLA_JET_PROPERTY_MAPS_H_

// The properties Access keeps for a table and its columns in the catalogue's LvProp field
// (Jet 4): "MR2\0", then chunks, each a 4-byte length (with its 6-byte header) and a 2-byte type.
// One chunk (type 0x80) is the pool of property names, each a 2-byte length and UTF-16 text; the
// others hold one object's properties: the table's (type 0x00) or a column's (0x01). Such a chunk
// starts with the object's name (4-byte length of the name part, then a name as in the pool;
// the table's is empty) followed by its properties, each a 2-byte length (itself included), a
// flag byte, a data type, the name's place in the pool, a 2-byte data length and the data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/byte_order.h"

namespace jet {

namespace props {
inline constexpr char kMagic[4] = {'M', 'R', '2', '\0'};
inline constexpr uint16_t kNamePool = 0x80;
inline constexpr uint16_t kTableBlock = 0x00;
inline constexpr uint16_t kColumnBlock = 0x01;
inline constexpr size_t kChunkHeader = 6;
inline constexpr size_t kPropertyHeader = 8;
inline constexpr uint8_t kTypeBoolean = 0x01;
inline constexpr uint8_t kFlagDataDefinition = 0x01;  // set on properties the engine itself uses
inline constexpr char kRequired[] = "Required";
}  // namespace props

struct Property {
  std::string name;
  uint8_t flag = 0;
  uint8_t type = 0;
  std::vector<uint8_t> data;
};

struct PropertyBlock {
  uint16_t type = props::kTableBlock;
  std::string name;  // the column's; empty for the table
  std::vector<Property> properties;
};

struct PropertyMaps {
  std::vector<std::string> names;  // the pool as read; properties added later join it
  std::vector<PropertyBlock> blocks;
};

// Nothing when `bytes` is not such a record or is damaged.
std::optional<PropertyMaps> ParsePropertyMaps(ByteSpan bytes);
std::vector<uint8_t> EncodePropertyMaps(const PropertyMaps& maps);

// Maps with an empty block for the table, as Access starts them.
PropertyMaps NewPropertyMaps();

// Sets the Required property of `column` (a block for it is added when there is none).
void SetColumnRequired(PropertyMaps& maps, const std::string& column, bool required);
// Removes the block of `column`; false when it had none.
bool RemoveColumnProperties(PropertyMaps& maps, const std::string& column);
bool HasColumnProperties(const PropertyMaps& maps, const std::string& column);

}  // namespace jet

#endif  // QUORLA_JET_PROPERTY_MAPS_H_
