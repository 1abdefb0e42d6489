// The error box's text: its three lines and the number rule. The window's path to the box is
// covered by the run_statement and open_database tests.

#include <QTest>

#include "app/error_report.h"

class ErrorReportTest : public QObject {
  Q_OBJECT

 private slots:
  // A positive number has one space after the colon, a negative one follows it directly; an
  // empty description leaves an empty third line.
  void threeLinesWithTheNumberRule() {
    const std::pair<jet::Error, std::string> cases[] = {
        {jet::Error(91, "Objektvariable nicht festgelegt"),
         "Fehlernummer: 91\r\nObjektvariable nicht festgelegt"},
        {jet::Error(0, "x"), "Fehlernummer: 0\r\nx"},
        {jet::Error(-1, "Status"), "Fehlernummer:-1\r\nStatus"},
        {jet::Error(INT32_MIN, ""), "Fehlernummer:-2147483648\r\n"},
        {jet::Error(3000, ""), "Fehlernummer: 3000\r\n"}};
    for (const auto& [error, lines] : cases) {
      QCOMPARE(app::ErrorReportText(error), "Ein Fehler ist aufgetreten\r\n" + lines);
    }
  }
};

QTEST_MAIN(ErrorReportTest)
#include "error_report_test.moc"
