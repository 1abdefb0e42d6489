#include "jetsql/errors.h"

namespace jetsql {

void ThrowBadExpression(const std::string& expression) {
  throw jet::Error(jet::err::kBadExpression,
                   "Syntaxfehler (fehlender Operator) in Abfrageausdruck '" + expression + "'.");
}

void ThrowSyntax(int32_t number, const std::string& description) {
  throw jet::Error(number, description);
}

void ThrowTooComplex() {
  throw jet::Error(jet::err::kExpressionTooComplex,
                   "Dieser Ausdruck ist falsch eingegeben oder zu komplex, um ausgewertet zu "
                   "werden. Ein numerischer Ausdruck kann z.B. zu viele komplizierte Elemente "
                   "enthalten. Vereinfachen Sie den Ausdruck, indem Sie Teile des Ausdrucks "
                   "Variablen zuweisen.");
}

void ThrowTableNotFound(const std::string& table) {
  throw jet::Error(jet::err::kTableNotFound,
                   "Das Microsoft Jet-Datenbankmodul kann die Eingabetabelle oder -abfrage '" +
                       table +
                       "' nicht finden. Stellen Sie sicher, dass sie existiert und dass ihr Name "
                       "richtig geschrieben ist.");
}

void ThrowTooFewParameters(int count) {
  throw jet::Error(jet::err::kTooFewParameters,
                   "Zu wenige Parameter. Erwartet: " + std::to_string(count) + ".");
}

void ThrowCriteriaMismatch() {
  throw jet::Error(jet::err::kTypeMismatch, "Datentypenkonflikt im Kriterienausdruck.");
}

void ThrowReservedWord() {
  throw jet::Error(jet::err::kReservedWordMisspelled,
                   "Die SELECT-Anweisung enthält ein reserviertes Wort oder einen Argumentnamen, "
                   "das/der falsch geschrieben ist oder fehlt, oder die Satzzeichen sind falsch.");
}

void ThrowFromSyntax() {
  throw jet::Error(jet::err::kSyntaxInFrom, "Syntaxfehler in FROM-Klausel.");
}

}  // namespace jetsql
