#ifndef QUORLA_ERROR_ERROR_H_
#define QUORLA_ERROR_ERROR_H_

// The one error type of the program: every failure, from the storage engine up to the window's
// handlers, travels as an Error carrying a signed 32-bit number and a German description.
// Engine errors use Jet's own numbers, runtime errors the Basic runtime's. Raise errors through
// the factories of error/errors.h, which take their texts from the one table in error_texts.cpp.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace errors {

class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}

  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

// The error numbers the program raises.
namespace code {
// Basic runtime errors.
inline constexpr int32_t kInvalidArgument = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kRuntimeTypeMismatch = 13;
inline constexpr int32_t kInternal = 51;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidPattern = 93;
inline constexpr int32_t kInvalidNullUse = 94;
inline constexpr int32_t kInvalidPropertyValue = 380;
// The common dialog's "cancel" error.
inline constexpr int32_t kCancel = 32755;
// Jet engine errors.
inline constexpr int32_t kReserved = 3000;
inline constexpr int32_t kTableExists = 3010;
inline constexpr int32_t kDuplicateKey = 3022;
inline constexpr int32_t kFileNotFound = 3024;
inline constexpr int32_t kDiskFull = 3026;
inline constexpr int32_t kReadOnly = 3027;
inline constexpr int32_t kPasswordInvalid = 3031;
inline constexpr int32_t kDiskIo = 3043;
inline constexpr int32_t kRecordTooLarge = 3047;
inline constexpr int32_t kInvalidPath = 3044;
inline constexpr int32_t kLinkedTable = 3051;
inline constexpr int32_t kIndexNull = 3058;
inline constexpr int32_t kCancelledByUser = 3059;
inline constexpr int32_t kTooFewParameters = 3061;
inline constexpr int32_t kCannotExecuteSelect = 3065;
inline constexpr int32_t kNoInputTables = 3067;
inline constexpr int32_t kExpressionTooComplex = 3071;
inline constexpr int32_t kNotUpdatable = 3073;
inline constexpr int32_t kBadExpression = 3075;
inline constexpr int32_t kTableNotFound = 3078;
inline constexpr int32_t kAmbiguousField = 3079;
inline constexpr int32_t kUndefinedFunction = 3085;
inline constexpr int32_t kCannotDelete = 3086;
inline constexpr int32_t kCircularReference = 3103;
inline constexpr int32_t kAggregateInGroupBy = 3092;
inline constexpr int32_t kNestedAggregate = 3095;
inline constexpr int32_t kAggregateInWhere = 3096;
inline constexpr int32_t kDuplicateDestination = 3104;
inline constexpr int32_t kNotPartOfAggregate = 3122;
inline constexpr int32_t kSyntaxInParameters = 3125;
inline constexpr int32_t kUnknownInsertField = 3127;
inline constexpr int32_t kNameDeleteTable = 3128;
inline constexpr int32_t kInvalidSqlStatement = 3129;
inline constexpr int32_t kSyntaxInTransform = 3130;
inline constexpr int32_t kSyntaxInFrom = 3131;
inline constexpr int32_t kSyntaxInInsert = 3134;
inline constexpr int32_t kSyntaxInJoin = 3135;
inline constexpr int32_t kSyntaxInOrderBy = 3138;
inline constexpr int32_t kReservedWordMisspelled = 3141;
inline constexpr int32_t kCharactersAfterEnd = 3142;
inline constexpr int32_t kSyntaxInUpdate = 3144;
inline constexpr int32_t kFieldTooSmall = 3163;
inline constexpr int32_t kFieldNotUpdatable = 3164;
inline constexpr int32_t kRecordDeleted = 3167;
inline constexpr int32_t kIsamNotFound = 3170;
inline constexpr int32_t kTooManyFields = 3190;
inline constexpr int32_t kLocked = 3218;
inline constexpr int32_t kFieldDefinedTwice = 3191;
inline constexpr int32_t kRelatedRecordsExist = 3200;
inline constexpr int32_t kRelatedRecordRequired = 3201;
inline constexpr int32_t kDatabaseExists = 3204;
inline constexpr int32_t kNotRowReturning = 3219;
inline constexpr int32_t kOperationNotSupported = 3251;
inline constexpr int32_t kItemNotFound = 3265;
inline constexpr int32_t kFieldInIndex = 3280;
inline constexpr int32_t kPrimaryKeyExists = 3283;
inline constexpr int32_t kSyntaxInConstraint = 3289;
inline constexpr int32_t kSyntaxInCreateTable = 3290;
inline constexpr int32_t kSyntaxInCreateIndex = 3291;
inline constexpr int32_t kSyntaxInFieldDefinition = 3292;
inline constexpr int32_t kSyntaxInAlterTable = 3293;
inline constexpr int32_t kSyntaxInDrop = 3295;
inline constexpr int32_t kInRelationship = 3303;
inline constexpr int32_t kSubqueryFields = 3306;
inline constexpr int32_t kUnionColumns = 3307;
inline constexpr int32_t kRequiredNull = 3314;
inline constexpr int32_t kSyntaxInUnion = 3319;
inline constexpr int32_t kUnrecognizedFormat = 3343;
inline constexpr int32_t kValueCountMismatch = 3346;
inline constexpr int32_t kNumericOverflow = 3349;
inline constexpr int32_t kQueryTooComplex = 3360;
inline constexpr int32_t kRelationshipFieldsMismatch = 3368;
inline constexpr int32_t kTableOrConstraintNotFound = 3371;
inline constexpr int32_t kReferencedTableWithoutPrimaryKey = 3373;
inline constexpr int32_t kIndexNameTaken = 3375;
inline constexpr int32_t kTableDoesNotExist = 3376;
inline constexpr int32_t kRelationshipExists = 3378;
inline constexpr int32_t kExistingDataViolatesIntegrity = 3379;
inline constexpr int32_t kDataTypeConversion = 3421;
inline constexpr int32_t kTypeMismatch = 3464;
inline constexpr int32_t kNoUniqueIndexReferenced = 3609;
}  // namespace code

}  // namespace errors

#endif  // QUORLA_ERROR_ERROR_H_
