#include "commands.h"

namespace quorla_sql {

namespace {

constexpr const char kHelp[] = R"(QUORLA-SQL(1)

NAME
       quorla-sql - Jet-SQL auf einer Access-Datenbank (Jet 3/Jet 4, .mdb) ausführen

ÜBERSICHT
       quorla-sql DATEI --tables
       quorla-sql DATEI --queries
       quorla-sql DATEI --schema [TABELLE]
       quorla-sql DATEI --export TABELLE
       quorla-sql --create DATEI
       quorla-sql [--csv] DATEI [ANWEISUNG]
       quorla-sql --help

BESCHREIBUNG
       quorla-sql liest eine Jet-Datenbank (Access 97 bis 2003) mit der Speicher-Engine von
       quorla und führt Anweisungen in Access' SQL-Dialekt (Jet-SQL) darauf aus. Optionen dürfen an beliebiger Stelle stehen; nach -- wird
       jedes Argument als Name gelesen.

BEFEHLE
       --tables
              Die Benutzertabellen, eine je Zeile, in der Reihenfolge des Katalogs.
              Systemtabellen (Attribute 0x80000002) fehlen, wie in der Tabellenliste des
              Programms.

       --queries
              Die gespeicherten Abfragen in der Reihenfolge des Katalogs: je Abfrage eine
              Zeile mit ihrem Namen, dann ihr SQL-Text, wie Access ihn in der SQL-Ansicht
              zeigt, dann eine Leerzeile. Ausgeblendete Abfragen (Namen mit ~) fehlen.
              Gespeicherte Auswahl-, Union- und Kreuztabellenabfragen können in Anweisungen
              wie Tabellen verwendet werden.

       --schema [TABELLE]
              Die Tabelle, ohne TABELLE alle Benutzertabellen, als Jet-SQL: CREATE TABLE mit
              Feldern, Datentypen und NOT NULL, dann je Index ein CREATE [UNIQUE] INDEX
              (der Primärschlüssel mit WITH PRIMARY).

       --export TABELLE
              Die ganze Tabelle als CSV nach RFC 4180 (UTF-8, Zeilenende CR LF): eine
              Kopfzeile mit den Feldnamen, dann eine Zeile je Datensatz.

       --create
              Legt DATEI als neue, leere Access-2000-Datenbank (Jet 4) an: Kopfseite,
              Katalog MSysObjects und die Systemtabellen MSysACEs, MSysQueries und
              MSysRelationships, Sortierreihenfolge Allgemein. Eine vorhandene DATEI bleibt
              unverändert (Fehler 3204). Tabellen und Daten kommen danach mit Anweisungen
              hinzu, etwa: quorla-sql neu.mdb < skript.sql

       ANWEISUNG
              Führt die Anweisung aus. Ohne ANWEISUNG werden die durch ; getrennten
              Anweisungen der Standardeingabe als Skript ausgeführt; der erste Fehler
              beendet es mit seiner Nummer. Ergebnisse von Abfragen erscheinen auf einem
              Terminal als ausgerichtete Tabelle, sonst (und mit --csv) als CSV wie bei
              --export. Felder ohne Alias heißen wie in Access Expr1000, Expr1001, ...

       --csv
              Ergebnisse von Anweisungen immer als CSV.

       -h, --help
              Diese Hilfe.

CSV-FORMAT
       Null                  leeres Feld
       Text, Memo            unverändert; in "" bei Komma, Anführungszeichen, Zeilenumbruch
                             oder leerem Text ("" ist leerer Text, nichts ist Null)
       Byte, Integer, Long   ganze Zahl
       Single, Double        kürzeste Form, die denselben Wert ergibt (z. B. 0.1, 1e+05)
       Währung               exakt, vier Nachkommastellen, Punkt als Dezimalzeichen
       Dezimal               exakt, so viele Nachkommastellen wie die Skalierung
       Datum/Uhrzeit         JJJJ-MM-TT hh:mm:ss, auf die Sekunde gerundet
       Ja/Nein               True oder False
       Binär, OLE-Objekt     Hexadezimal in Großbuchstaben
       Replikations-ID       {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}

EXIT-STATUS
       0      Erfolg.
       1      Fehler der Datenbank; auf der Standardfehlerausgabe steht
              "Fehler <Nummer>: <Beschreibung>" mit der Nummer, die Jet dafür verwendet
              (etwa 3024 Datei nicht gefunden, 3343 nicht erkanntes Datenbankformat,
              3078 unbekannte Tabelle).
       2      Falscher Aufruf.

BEISPIELE
       quorla-sql kunden.mdb --tables
       quorla-sql --create neu.mdb && quorla-sql neu.mdb < schema.sql
       quorla-sql --export Bestellungen kunden.mdb > bestellungen.csv
       quorla-sql kunden.mdb --schema Bestellungen
       quorla-sql --csv kunden.mdb "SELECT Ort, Count(*) FROM Bestellungen GROUP BY Ort"
       echo "SELECT * FROM artikel; SELECT Count(*) FROM orders" | quorla-sql kunden.mdb
)";

}  // namespace

void PrintHelp(Output& out) {
  out.buffer() += kHelp;
}

}  // namespace quorla_sql
