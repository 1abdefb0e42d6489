#ifndef QUORLA_JET_ERROR_H_
#define QUORLA_JET_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace jet {

// The one error type of the program: every failure, from the storage engine up to the window's
// handlers, travels as an Error carrying a signed 32-bit number and a (German) description.
// Engine errors use Jet's own numbers where one fits.
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

// Jet's error numbers used across the engine.
namespace err {
inline constexpr int32_t kFileNotFound = 3024;         // "Datei '…' nicht gefunden."
inline constexpr int32_t kPasswordInvalid = 3031;      // "Kein gültiges Kennwort."
inline constexpr int32_t kTooFewParameters = 3061;     // "Zu wenige Parameter. Erwartet: N."
inline constexpr int32_t kSyntaxInFrom = 3131;         // "Syntaxfehler in der FROM-Klausel."
inline constexpr int32_t kBadExpression = 3075;        // "Syntaxfehler … im Abfrageausdruck '…'."
inline constexpr int32_t kTableNotFound = 3078;        // "… findet die Eingabetabelle oder -abfrage '…' nicht."
inline constexpr int32_t kTableExists = 3010;          // "Tabelle '…' ist bereits vorhanden."
inline constexpr int32_t kDuplicateKey = 3022;         // duplicate value in a unique index
inline constexpr int32_t kItemNotFound = 3265;         // "Element in dieser Auflistung nicht gefunden."
inline constexpr int32_t kUnrecognizedFormat = 3343;   // "Nicht erkanntes Datenbankformat '…'."
inline constexpr int32_t kTypeMismatch = 3464;         // "Datentypenkonflikt im Kriterienausdruck."
inline constexpr int32_t kInvalidSqlStatement = 3129;  // not DELETE/INSERT/PROCEDURE/SELECT/UPDATE
inline constexpr int32_t kReservedWordMisspelled = 3141;
inline constexpr int32_t kExpressionTooComplex = 3071;
inline constexpr int32_t kCannotExecuteSelect = 3065;  // "Auswahlabfrage kann nicht ausgeführt werden."
inline constexpr int32_t kNotRowReturning = 3219;      // "Ungültige Operation."
inline constexpr int32_t kOverflow = 6;                // runtime "Überlauf"
inline constexpr int32_t kDivisionByZero = 11;         // runtime "Division durch Null"
inline constexpr int32_t kLinkedTable = 3051;          // the linked file cannot be opened here
inline constexpr int32_t kRecordDeleted = 3167;        // "Datensatz ist gelöscht."
inline constexpr int32_t kInternal = 51;               // runtime "Interner Fehler"
inline constexpr int32_t kObjectNotSet = 91;           // runtime: object variable not set
inline constexpr int32_t kInvalidPropertyValue = 380;  // runtime "Ungültiger Eigenschaftswert"
}  // namespace err

}  // namespace jet

#endif  // QUORLA_JET_ERROR_H_
