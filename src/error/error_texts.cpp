#include "error/error_texts.h"

#include "error/error.h"

namespace errors {
namespace {

struct ErrorText {
  int32_t number;
  const char* text;
};

// One text per number.
constexpr ErrorText kTexts[] = {
    {code::kInvalidArgument, "Ungültiger Prozeduraufruf oder ungültiges Argument"},
    {code::kOverflow, "Überlauf"},
    {code::kOutOfMemory, "Nicht genügend Speicher"},
    {code::kDivisionByZero, "Division durch Null"},
    {code::kRuntimeTypeMismatch, "Typen unverträglich"},
    {code::kInternal, "|1"},
    {code::kObjectNotSet, "Objektvariable oder With-Blockvariable nicht festgelegt"},
    {code::kInvalidPattern, "Ungültige Musterzeichenfolge."},
    {code::kInvalidNullUse, "Unzulässige Verwendung von Null"},
    {code::kInvalidPropertyValue, "Ungültiger Eigenschaftswert"},
    {code::kCancel, "Abbrechen wurde ausgewählt."},
    {code::kReserved, "Reservierter Fehler (|1)."},
    {code::kTableExists, "Tabelle '|1' ist bereits vorhanden."},
    {code::kDuplicateKey,
     "Die von Ihnen vorgenommenen Änderungen an der Tabelle konnten nicht vorgenommen werden, da "
     "der Index, der Primärschlüssel oder die Beziehung mehrfach vorkommende Werte enthalten "
     "würde. Ändern Sie die Daten in den Feldern, die gleiche Daten enthalten, entfernen Sie den "
     "Index, oder definieren Sie den Index neu, damit doppelte Einträge möglich sind, und "
     "versuchen Sie es erneut."},
    {code::kFileNotFound, "Datei '|1' nicht gefunden."},
    {code::kDatabaseExists, "Datenbank existiert bereits."},
    {code::kDiskFull, "Nicht genügend Speicherplatz auf dem Datenträger."},
    {code::kReadOnly, "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt."},
    {code::kPasswordInvalid, "Kein gültiges Kennwort."},
    {code::kDiskIo, "Datenträger- oder Netzwerkfehler."},
    {code::kRecordTooLarge, "Datensatz ist zu groß."},
    {code::kInvalidPath,
     "'|1' ist kein zulässiger Pfad. Stellen Sie sicher, dass der Pfadname richtig geschrieben "
     "ist und dass eine Verbindung mit dem Server besteht, auf dem sich die Datei befindet."},
    {code::kLinkedTable,
     "Die Daten der verknüpften Tabelle '|1' liegen in '|2' und können hier nicht gelesen "
     "werden."},
    {code::kIndexNull, "Indexfeld oder Primärschlüssel kann keinen Nullwert enthalten."},
    {code::kCancelledByUser, "Vorgang wurde vom Benutzer abgebrochen."},
    {code::kTooFewParameters, "Zu wenige Parameter. Erwartet: |1."},
    {code::kCannotExecuteSelect, "Auswahlabfrage kann nicht ausgeführt werden."},
    {code::kNoInputTables, "Abfrageeingabe muss mindestens eine Tabelle oder Abfrage enthalten."},
    {code::kExpressionTooComplex,
     "Dieser Ausdruck ist falsch eingegeben oder zu komplex, um ausgewertet zu werden. Ein "
     "numerischer Ausdruck kann z.B. zu viele komplizierte Elemente enthalten. Vereinfachen Sie "
     "den Ausdruck, indem Sie Teile des Ausdrucks Variablen zuweisen."},
    {code::kNotUpdatable, "Operation muss eine aktualisierbare Abfrage verwenden."},
    {code::kBadExpression, "|1 in Abfrageausdruck '|2'."},
    {code::kTableNotFound,
     "Das Microsoft Jet-Datenbankmodul findet die Eingabetabelle oder -abfrage '|1' nicht. "
     "Stellen Sie sicher, dass sie existiert und dass ihr Name richtig geschrieben ist."},
    {code::kAmbiguousField,
     "Das angegebene Feld '|1' könnte sich auf mehr als eine Tabelle beziehen, die im "
     "FROM-Abschnitt Ihrer SQL-Anweisung aufgeführt ist."},
    {code::kUndefinedFunction, "Undefinierte Funktion '|1' in Ausdruck."},
    {code::kCannotDelete, "Aus den angegebenen Tabellen konnte nicht gelöscht werden."},
    {code::kCircularReference, "Zirkelbezug verursacht durch '|1'."},
    {code::kAggregateInGroupBy,
     "Aggregatfunktionen können in GROUP BY-Klauseln nicht verwendet werden (|1)."},
    {code::kNestedAggregate,
     "Eine Aggregatfunktion kann nicht in einer anderen verwendet werden (|1)."},
    {code::kAggregateInWhere,
     "Sie können keine Aggregatfunktion in der |1-Klausel verwenden (|2)."},
    {code::kDuplicateDestination, "Doppeltes Ausgabeziel '|1'."},
    {code::kNotPartOfAggregate,
     "Sie wollten eine Abfrage ausführen, die den angegebenen Ausdruck '|1' nicht als Teil der "
     "Aggregatfunktion einschließt."},
    {code::kSyntaxInParameters, "Syntaxfehler in PARAMETERS-Klausel."},
    {code::kUnknownInsertField,
     "Das INSERT INTO-Anweisung enthält den folgenden unbekannten Feldnamen: '|1'. Stellen "
     "Sie sicher, dass Sie den Namen richtig eingegeben haben, und wiederholen Sie den Vorgang."},
    {code::kNameDeleteTable, "Geben Sie die Tabelle an, die die zu löschenden Datensätze enthält."},
    {code::kInvalidSqlStatement,
     "Ungültige SQL-Anweisung; 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT' oder 'UPDATE' "
     "erwartet."},
    {code::kSyntaxInTransform, "Syntaxfehler in TRANSFORM-Anweisung."},
    {code::kSyntaxInFrom, "Syntaxfehler in FROM-Klausel."},
    {code::kSyntaxInInsert, "Syntaxfehler in der INSERT INTO-Anweisung."},
    {code::kSyntaxInJoin, "Syntaxfehler in JOIN-Operation."},
    {code::kSyntaxInOrderBy, "Syntaxfehler in ORDER BY-Klausel."},
    {code::kReservedWordMisspelled,
     "Die SELECT-Anweisung enthält ein reserviertes Wort oder einen Argumentnamen, das/der "
     "falsch geschrieben ist oder fehlt, oder die Satzzeichen sind falsch."},
    {code::kCharactersAfterEnd, "Zeichen nach dem Ende der SQL-Anweisung gefunden."},
    {code::kSyntaxInUpdate, "Syntaxfehler in der UPDATE-Anweisung."},
    {code::kFieldTooSmall,
     "Das Feld ist zu klein für die Datenmenge, die Sie hinzufügen möchten. Versuchen Sie, "
     "weniger Daten einzufügen bzw. einzufügen."},
    {code::kFieldNotUpdatable, "Feld kann nicht aktualisiert werden."},
    {code::kRecordDeleted, "Datensatz ist gelöscht."},
    {code::kIsamNotFound, "Installierbares ISAM nicht gefunden."},
    {code::kTooManyFields, "Zu viele Felder definiert."},
    {code::kLocked, "Aktualisieren nicht möglich; momentan gesperrt."},
    {code::kFieldDefinedTwice, "Feld '|1' kann nicht mehrfach definiert werden."},
    {code::kRelatedRecordsExist,
     "Der Datensatz kann nicht gelöscht oder geändert werden, da die Tabelle '|1' in Beziehung "
     "stehende Datensätze enthält."},
    {code::kRelatedRecordRequired,
     "Der Datensatz kann nicht hinzugefügt oder geändert werden, da ein Datensatz in der Tabelle "
     "'|1' mit diesem Datensatz in Beziehung stehen muss."},
    {code::kNotRowReturning, "Ungültige Operation. Die Anweisung gibt keine Datensätze zurück."},
    {code::kOperationNotSupported,
     "Der Vorgang wird für diesen Objekttyp nicht unterstützt: '|1' kann diese Datenbank noch "
     "nicht ändern."},
    {code::kItemNotFound, "Element in dieser Auflistung nicht gefunden."},
    {code::kFieldInIndex,
     "Ein Feld, das Teil eines Index ist oder vom System benötigt wird, kann nicht gelöscht "
     "werden."},
    {code::kPrimaryKeyExists, "Primärschlüssel ist bereits vorhanden."},
    {code::kSyntaxInConstraint, "Syntaxfehler in CONSTRAINT-Klausel."},
    {code::kSyntaxInCreateTable, "Syntaxfehler in CREATE TABLE-Anweisung."},
    {code::kSyntaxInCreateIndex, "Syntaxfehler in CREATE INDEX-Anweisung."},
    {code::kSyntaxInFieldDefinition, "Syntaxfehler in Felddefinition."},
    {code::kSyntaxInAlterTable, "Syntaxfehler in ALTER TABLE-Anweisung."},
    {code::kSyntaxInDrop, "Syntaxfehler in DROP TABLE- oder DROP INDEX-Anweisung."},
    {code::kInRelationship,
     "Diese Tabelle kann nicht gelöscht oder geändert werden. Sie ist an einer oder mehreren "
     "Beziehungen beteiligt."},
    {code::kSubqueryFields,
     "Sie haben eine Unterabfrage geschrieben, die mehr als ein Feld zurückgeben kann, ohne das "
     "reservierte Wort EXISTS im FROM-Abschnitt der Hauptabfrage zu verwenden. Überarbeiten Sie "
     "die SELECT-Anweisung der Unterabfrage, um nur ein Feld anzufordern."},
    {code::kUnionColumns,
     "Die Anzahl der Spalten in den beiden ausgewählten Tabellen oder Abfragen einer "
     "Union-Abfrage stimmt nicht überein."},
    {code::kRequiredNull,
     "Das Feld '|1' kann keinen Nullwert enthalten, da die Required-Eigenschaft für dieses "
     "Feld auf True festgelegt ist. Geben Sie einen Wert in dieses Feld ein."},
    {code::kSyntaxInUnion, "Syntaxfehler in Union-Abfrage."},
    {code::kUnrecognizedFormat, "Nicht erkanntes Datenbankformat '|1'."},
    {code::kValueCountMismatch, "Anzahl der Abfragewerte und Zielfelder ist unterschiedlich."},
    {code::kNumericOverflow, "Numerischer Feldüberlauf."},
    {code::kQueryTooComplex, "Abfrage ist zu komplex."},
    {code::kRelationshipFieldsMismatch,
     "Die Beziehung muss sich auf dieselbe Anzahl von Feldern mit denselben Datentypen "
     "beziehen."},
    {code::kTableOrConstraintNotFound, "Tabelle oder Einschränkung '|1' nicht gefunden."},
    {code::kIndexNameTaken, "Die Tabelle '|1' hat bereits einen Index namens '|2'."},
    {code::kReferencedTableWithoutPrimaryKey,
     "Die Beziehung kann nicht erstellt werden. Die referenzierte Tabelle '|1' hat keinen "
     "Primärschlüssel."},
    {code::kTableDoesNotExist, "Tabelle '|1' ist nicht vorhanden."},
    {code::kRelationshipExists,
     "In der aktuellen Datenbank ist bereits eine Beziehung namens '|1' vorhanden."},
    {code::kExistingDataViolatesIntegrity,
     "Beziehungen zur Durchsetzung der referentiellen Integrität können nicht erstellt werden. "
     "Vorhandene Daten in der Tabelle '|2' verletzen die Regeln der referentiellen Integrität "
     "mit der verknüpften Tabelle '|1'."},
    {code::kDataTypeConversion, "Datentypkonvertierungsfehler."},
    {code::kTypeMismatch, "Datentypenkonflikt im Kriterienausdruck."},
    {code::kNoUniqueIndexReferenced,
     "Kein eindeutiger Index für das referenzierte Feld der Primärtabelle gefunden."},
};

}  // namespace

std::string Describe(int32_t number, std::initializer_list<std::string_view> args) {
  const char* text = nullptr;
  for (const ErrorText& t : kTexts) {
    if (t.number == number) text = t.text;
  }
  if (!text) return "Fehler " + std::to_string(number);
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '|' && p[1] >= '1' && p[1] <= '9') {
      size_t i = static_cast<size_t>(p[1] - '1');
      if (i < args.size()) out += args.begin()[i];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace errors
