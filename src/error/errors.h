#ifndef QUORLA_ERROR_ERRORS_H_
#define QUORLA_ERROR_ERRORS_H_

// One factory per error the program raises: `throw errors::UnknownTable(name);`. Each returns the
// Error with its number and the German text from the table in error_texts.cpp.

#include <string_view>

#include "error/error.h"

namespace errors {

Error InvalidArgument();
Error Overflow();
Error OutOfMemory();
Error DivisionByZero();
Error IncompatibleTypes();
Error Internal(std::string_view what);
Error ObjectNotSet();
Error InvalidPattern();
Error InvalidNullUse();
Error InvalidPropertyValue();
Error Cancelled();
Error Reserved(std::string_view detail);
Error TableExists(std::string_view table);
Error DuplicateKey();
Error FileNotFound(std::string_view path);
Error DatabaseExists();
Error DiskFull();
Error PasswordInvalid();
Error DiskIo();
Error InvalidPath(std::string_view path);
Error LinkedTable(std::string_view table, std::string_view file);
Error CancelledByUser();
Error TooFewParameters(int expected);
Error CannotExecuteSelect();
Error NoInputTables();
Error ExpressionTooComplex();
Error MissingOperator(std::string_view expression);
Error BadStringLiteral(std::string_view expression);
Error BadDateLiteral(std::string_view expression);
Error WrongArgumentCount(std::string_view expression);
Error UnknownTable(std::string_view table);
Error AmbiguousField(std::string_view field);
Error UndefinedFunction(std::string_view name);
Error CircularReference(std::string_view name);
Error AggregateInGroupBy(std::string_view expression);
Error NestedAggregate(std::string_view expression);
Error AggregateInClause(std::string_view clause, std::string_view expression);
Error NotPartOfAggregate(std::string_view expression);
Error SyntaxInParameters();
Error BadBrackets(std::string_view name);
Error InvalidSqlStatement();
Error SyntaxInTransform();
Error SyntaxInFrom();
Error SyntaxInJoin();
Error SyntaxInOrderBy();
Error ReservedWordMisspelled();
Error CharactersAfterEnd();
Error RecordDeleted();
Error IsamNotFound();
Error TooManyFields();
// A row of `table` refers to the row being deleted or whose key changes.
Error RelatedRecordsExist(std::string_view table);
// The row refers to a row of `table` that does not exist.
Error RelatedRecordRequired(std::string_view table);
Error NotRowReturning();
Error OperationNotSupported(std::string_view operation);
Error ItemNotFound();
Error SubqueryFields();
Error UnionColumns();
Error SyntaxInUnion();
Error UnrecognizedFormat(std::string_view path);
Error QueryTooComplex();
Error CriteriaTypeMismatch();
// Data definition.
Error FieldDefinedTwice(std::string_view field);
Error PrimaryKeyExists();
Error SyntaxInConstraint();
Error SyntaxInCreateTable();
Error SyntaxInCreateIndex();
Error SyntaxInFieldDefinition();
Error SyntaxInAlterTable();
Error SyntaxInDrop();
Error InRelationship();
Error FieldInIndex();
Error DataTypeConversion();
Error TableOrConstraintNotFound(std::string_view name);
Error IndexNameTaken(std::string_view table, std::string_view index);
Error TableDoesNotExist(std::string_view table);
Error RelationshipFieldsMismatch();
Error ReferencedTableWithoutPrimaryKey(std::string_view table);
Error RelationshipExists(std::string_view name);
// `table` holds keys that `referenced_table` lacks.
Error ExistingDataViolatesIntegrity(std::string_view table, std::string_view referenced_table);
Error NoUniqueIndexReferenced();

Error ReadOnly();
Error Locked();
Error RecordTooLarge();
Error IndexNull();
Error RequiredNull(std::string_view table, std::string_view field);
Error FieldTooSmall();
Error NumericOverflow();
Error NotUpdatable();
Error FieldNotUpdatable();
Error CannotDelete();
Error NameDeleteTable();
Error UnknownInsertField(std::string_view field);
Error ValueCountMismatch();
Error DuplicateDestination(std::string_view field);
Error SyntaxInInsert();
Error SyntaxInUpdate();

}  // namespace errors

#endif  // QUORLA_ERROR_ERRORS_H_
