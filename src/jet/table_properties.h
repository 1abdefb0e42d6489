#ifndef QUORLA_JET_TABLE_PROPERTIES_H_
#define QUORLA_JET_TABLE_PROPERTIES_H_

// The properties of a table and its columns in its catalogue row (property_maps.h), kept in step
// with data definition: a required column (NOT NULL) has Required set, as Access writes it, and
// a dropped column's properties go.

#include <string>

#include "jet/database.h"

namespace jet {

// Sets Required of `column` of local table `table` to `required`. A table without properties
// gets them only when `required` is set; properties that cannot be read are left as they are.
void SetRequiredProperty(Database& db, const std::string& table, const std::string& column,
                         bool required);

// Removes the properties of `column` of `table`.
void RemoveColumnPropertiesOf(Database& db, const std::string& table, const std::string& column);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_PROPERTIES_H_
