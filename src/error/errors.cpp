#include "error/errors.h"

#include <string>

#include "error/error_texts.h"

namespace errors {
namespace {

Error Make(int32_t number, std::initializer_list<std::string_view> args = {}) {
  return Error(number, Describe(number, args));
}

}  // namespace

Error InvalidArgument() {
  return Make(code::kInvalidArgument);
}
Error Overflow() {
  return Make(code::kOverflow);
}
Error OutOfMemory() {
  return Make(code::kOutOfMemory);
}
Error DivisionByZero() {
  return Make(code::kDivisionByZero);
}
Error IncompatibleTypes() {
  return Make(code::kRuntimeTypeMismatch);
}
Error Internal(std::string_view what) {
  return Make(code::kInternal, {what});
}
Error ObjectNotSet() {
  return Make(code::kObjectNotSet);
}
Error InvalidPattern() {
  return Make(code::kInvalidPattern);
}
Error InvalidNullUse() {
  return Make(code::kInvalidNullUse);
}
Error InvalidPropertyValue() {
  return Make(code::kInvalidPropertyValue);
}
Error Cancelled() {
  return Make(code::kCancel);
}
Error CancelledByUser() {
  return Make(code::kCancelledByUser);
}
Error Reserved(std::string_view detail) {
  return Make(code::kReserved, {detail});
}
Error TableExists(std::string_view table) {
  return Make(code::kTableExists, {table});
}
Error DuplicateKey() {
  return Make(code::kDuplicateKey);
}
Error DatabaseExists() {
  return Make(code::kDatabaseExists);
}
Error FileNotFound(std::string_view path) {
  return Make(code::kFileNotFound, {path});
}
Error DiskFull() {
  return Make(code::kDiskFull);
}
Error PasswordInvalid() {
  return Make(code::kPasswordInvalid);
}
Error DiskIo() {
  return Make(code::kDiskIo);
}
Error InvalidPath(std::string_view path) {
  return Make(code::kInvalidPath, {path});
}
Error CircularReference(std::string_view name) {
  return Make(code::kCircularReference, {name});
}
Error IsamNotFound() {
  return Make(code::kIsamNotFound);
}
Error LinkedTable(std::string_view table, std::string_view file) {
  return Make(code::kLinkedTable, {table, file});
}
Error TooFewParameters(int expected) {
  return Error(code::kTooFewParameters,
               Describe(code::kTooFewParameters, {std::to_string(expected)}));
}
Error CannotExecuteSelect() {
  return Make(code::kCannotExecuteSelect);
}
Error NoInputTables() {
  return Make(code::kNoInputTables);
}
Error ExpressionTooComplex() {
  return Make(code::kExpressionTooComplex);
}
Error MissingOperator(std::string_view expression) {
  return Error(code::kBadExpression,
               Describe(code::kBadExpression, {"Syntaxfehler (fehlender Operator)", expression}));
}
Error BadStringLiteral(std::string_view expression) {
  return Error(code::kBadExpression,
               Describe(code::kBadExpression, {"Syntaxfehler in Zeichenfolge", expression}));
}
Error BadDateLiteral(std::string_view expression) {
  return Error(code::kBadExpression,
               Describe(code::kBadExpression, {"Syntaxfehler in Datum", expression}));
}
Error WrongArgumentCount(std::string_view expression) {
  return Error(code::kBadExpression,
               Describe(code::kBadExpression,
                        {"Falsche Anzahl an Argumenten für die Funktion", expression}));
}
Error UnknownTable(std::string_view table) {
  return Make(code::kTableNotFound, {table});
}
Error AmbiguousField(std::string_view field) {
  return Make(code::kAmbiguousField, {field});
}
Error UndefinedFunction(std::string_view name) {
  return Make(code::kUndefinedFunction, {name});
}
Error AggregateInGroupBy(std::string_view expression) {
  return Make(code::kAggregateInGroupBy, {expression});
}
Error NestedAggregate(std::string_view expression) {
  return Make(code::kNestedAggregate, {expression});
}
Error AggregateInClause(std::string_view clause, std::string_view expression) {
  return Make(code::kAggregateInWhere, {clause, expression});
}
Error NotPartOfAggregate(std::string_view expression) {
  return Make(code::kNotPartOfAggregate, {expression});
}
Error SyntaxInParameters() {
  return Make(code::kSyntaxInParameters);
}
Error BadBrackets(std::string_view name) {
  return Make(code::kBadExpression,
              {"Ungültige Verwendung von Klammern (eckig)", "[" + std::string(name)});
}
Error InvalidSqlStatement() {
  return Make(code::kInvalidSqlStatement);
}
Error SyntaxInTransform() {
  return Make(code::kSyntaxInTransform);
}
Error SyntaxInFrom() {
  return Make(code::kSyntaxInFrom);
}
Error SyntaxInJoin() {
  return Make(code::kSyntaxInJoin);
}
Error SyntaxInOrderBy() {
  return Make(code::kSyntaxInOrderBy);
}
Error ReservedWordMisspelled() {
  return Make(code::kReservedWordMisspelled);
}
Error CharactersAfterEnd() {
  return Make(code::kCharactersAfterEnd);
}
Error RecordDeleted() {
  return Make(code::kRecordDeleted);
}
Error TooManyFields() {
  return Make(code::kTooManyFields);
}
Error RelatedRecordsExist(std::string_view table) {
  return Make(code::kRelatedRecordsExist, {table});
}
Error RelatedRecordRequired(std::string_view table) {
  return Make(code::kRelatedRecordRequired, {table});
}
Error NotRowReturning() {
  return Make(code::kNotRowReturning);
}
Error OperationNotSupported(std::string_view operation) {
  return Make(code::kOperationNotSupported, {operation});
}
Error ItemNotFound() {
  return Make(code::kItemNotFound);
}
Error SubqueryFields() {
  return Make(code::kSubqueryFields);
}
Error UnionColumns() {
  return Make(code::kUnionColumns);
}
Error SyntaxInUnion() {
  return Make(code::kSyntaxInUnion);
}
Error UnrecognizedFormat(std::string_view path) {
  return Make(code::kUnrecognizedFormat, {path});
}
Error QueryTooComplex() {
  return Make(code::kQueryTooComplex);
}
Error CriteriaTypeMismatch() {
  return Make(code::kTypeMismatch);
}

Error ReadOnly() {
  return Make(code::kReadOnly);
}
Error Locked() {
  return Make(code::kLocked);
}
Error RecordTooLarge() {
  return Make(code::kRecordTooLarge);
}
Error IndexNull() {
  return Make(code::kIndexNull);
}
Error RequiredNull(std::string_view table, std::string_view field) {
  return Make(code::kRequiredNull, {std::string(table) + "." + std::string(field)});
}
Error FieldTooSmall() {
  return Make(code::kFieldTooSmall);
}
Error NumericOverflow() {
  return Make(code::kNumericOverflow);
}
Error NotUpdatable() {
  return Make(code::kNotUpdatable);
}
Error FieldNotUpdatable() {
  return Make(code::kFieldNotUpdatable);
}
Error CannotDelete() {
  return Make(code::kCannotDelete);
}
Error NameDeleteTable() {
  return Make(code::kNameDeleteTable);
}
Error UnknownInsertField(std::string_view field) {
  return Make(code::kUnknownInsertField, {field});
}
Error ValueCountMismatch() {
  return Make(code::kValueCountMismatch);
}
Error DuplicateDestination(std::string_view field) {
  return Make(code::kDuplicateDestination, {field});
}
Error SyntaxInInsert() {
  return Make(code::kSyntaxInInsert);
}
Error SyntaxInUpdate() {
  return Make(code::kSyntaxInUpdate);
}
Error FieldDefinedTwice(std::string_view field) {
  return Make(code::kFieldDefinedTwice, {field});
}
Error PrimaryKeyExists() {
  return Make(code::kPrimaryKeyExists);
}
Error SyntaxInConstraint() {
  return Make(code::kSyntaxInConstraint);
}
Error SyntaxInCreateTable() {
  return Make(code::kSyntaxInCreateTable);
}
Error SyntaxInCreateIndex() {
  return Make(code::kSyntaxInCreateIndex);
}
Error SyntaxInFieldDefinition() {
  return Make(code::kSyntaxInFieldDefinition);
}
Error SyntaxInAlterTable() {
  return Make(code::kSyntaxInAlterTable);
}
Error SyntaxInDrop() {
  return Make(code::kSyntaxInDrop);
}
Error RelationshipFieldsMismatch() {
  return Make(code::kRelationshipFieldsMismatch);
}
Error ReferencedTableWithoutPrimaryKey(std::string_view table) {
  return Make(code::kReferencedTableWithoutPrimaryKey, {table});
}
Error RelationshipExists(std::string_view name) {
  return Make(code::kRelationshipExists, {name});
}
Error ExistingDataViolatesIntegrity(std::string_view table, std::string_view referenced_table) {
  return Make(code::kExistingDataViolatesIntegrity, {referenced_table, table});
}
Error NoUniqueIndexReferenced() {
  return Make(code::kNoUniqueIndexReferenced);
}
Error InRelationship() {
  return Make(code::kInRelationship);
}
Error FieldInIndex() {
  return Make(code::kFieldInIndex);
}
Error DataTypeConversion() {
  return Make(code::kDataTypeConversion);
}
Error TableOrConstraintNotFound(std::string_view name) {
  return Make(code::kTableOrConstraintNotFound, {name});
}
Error IndexNameTaken(std::string_view table, std::string_view index) {
  return Make(code::kIndexNameTaken, {table, index});
}
Error TableDoesNotExist(std::string_view table) {
  return Make(code::kTableDoesNotExist, {table});
}

}  // namespace errors
