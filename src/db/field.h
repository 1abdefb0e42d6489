#ifndef QUORLA_DB_FIELD_H_
#define QUORLA_DB_FIELD_H_

#include <string>

namespace db {

// One field of a table definition.
class Field {
 public:
  explicit Field(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
};

}  // namespace db

#endif  // QUORLA_DB_FIELD_H_
