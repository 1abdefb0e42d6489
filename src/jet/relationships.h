#ifndef QUORLA_JET_RELATIONSHIPS_H_
#define QUORLA_JET_RELATIONSHIPS_H_

// Relationships between tables as Access records them in the system table MSysRelationships: one
// row per pair of columns, the rows of one relationship sharing its name (szRelationship) and
// each giving its pair's place (icolumn) among all (ccolumn). The referring table (szObject) is
// the many side, the referenced table (szReferencedObject) the one side. Where integrity is
// enforced, both tables also carry an index entry of type 2 naming the other
// (IndexDef::reference); lookups go through those indexes.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jet {

inline constexpr char kRelationshipsTable[] = "MSysRelationships";

// The bits of grbit.
namespace relationship_flags {
inline constexpr uint32_t kOneToOne = 0x00000001;
inline constexpr uint32_t kNoIntegrity = 0x00000002;
inline constexpr uint32_t kCascadeUpdates = 0x00000100;
inline constexpr uint32_t kCascadeDeletes = 0x00001000;
inline constexpr uint32_t kCascadeNull = 0x00002000;  // deleting sets the referring keys Null
inline constexpr uint32_t kLeftJoin = 0x01000000;
inline constexpr uint32_t kRightJoin = 0x02000000;
}  // namespace relationship_flags

struct Relationship {
  std::string name;
  std::string table;  // the referring table
  std::vector<std::string> columns;
  std::string referenced_table;
  std::vector<std::string> referenced_columns;  // parallel to columns
  uint32_t flags = 0;                           // grbit

  bool enforced() const { return (flags & relationship_flags::kNoIntegrity) == 0; }
  bool cascade_updates() const { return (flags & relationship_flags::kCascadeUpdates) != 0; }
  bool cascade_deletes() const { return (flags & relationship_flags::kCascadeDeletes) != 0; }
  bool cascade_null() const { return (flags & relationship_flags::kCascadeNull) != 0; }
};

// The relationships `db` records, in the order of their first rows; none when the file has no
// MSysRelationships. A relationship whose rows do not fit together (a pair missing or twice,
// counts or tables that differ between its rows) is left out.
std::vector<Relationship> ReadRelationships(Database& db);

// The MSysRelationships rows that record `relationship`, one per pair of columns, each with a
// value for every column of `def` (MSysRelationships' definition; columns it does not know stay
// Null): what recording a new relationship inserts.
std::vector<std::vector<Value>> RelationshipRows(const Relationship& relationship,
                                                 const TableDef& def);

}  // namespace jet

#endif  // QUORLA_JET_RELATIONSHIPS_H_
