#ifndef QUORLA_TESTS_JETSQL_STANDARD_TABLES_H_
#define QUORLA_TESTS_JETSQL_STANDARD_TABLES_H_

// The tables most front-end tests bind against, made by CREATE TABLE in a new file: Kunden,
// Bestellungen and [Order Details], with a field of most types.

#include <string>
#include <vector>

namespace testsupport {

inline const std::vector<std::string> kStandardTables = {
    "CREATE TABLE Kunden (KundenID LONG, Name TEXT(50), Ort TEXT(50), Aktiv YESNO, Rabatt FLOAT, "
    "Seit DATETIME, Notiz MEMO)",
    "CREATE TABLE Bestellungen (BestellID LONG, KundenID LONG, Betrag CURRENCY, Datum DATETIME, "
    "Menge SMALLINT, Genau DECIMAL(12, 3))",
    "CREATE TABLE [Order Details] (ID LONG, [Product Name] TEXT(50), Bild LONGBINARY)"};

}  // namespace testsupport

#endif  // QUORLA_TESTS_JETSQL_STANDARD_TABLES_H_
