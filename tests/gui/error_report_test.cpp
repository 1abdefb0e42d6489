// The error box: its three lines, the number rule, icon, button and title.

#include <QTest>

#include "app/error_report.h"
#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"

using testing_gui::Window;

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

  // Through the window: the action path with no database open fails on the empty handle (91).
  void windowShowsStopIconOkOnlyTitleQuorla() {
    Window t;
    t->txtSQL->SetText("drop table artikel");
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{1});
    const testing_gui::ShownBox& b = t.box->shown[0];
    QVERIFY2(b.text.rfind("Ein Fehler ist aufgetreten\r\nFehlernummer: 91\r\n", 0) == 0,
             b.text.c_str());
    QCOMPARE(b.style, 16);
    QCOMPARE(b.title, std::string("quorla"));
    QCOMPARE(b.pointer_when_shown, 0);
  }

  void windowReportsNegativeNumberAndEmptyDescriptionUnchanged() {
    testing_gui::FakeEngine engine;
    Window t(engine);
    t->Data1->SetDatabaseName("/nowhere.mdb");
    engine.runner = [](const std::string&, const std::string&) -> jetsql::RecordSet {
      throw jet::Error(-1, "");
    };
    t->cmdQuery_Click();
    QCOMPARE(t.LastBox(), std::string("Ein Fehler ist aufgetreten\r\nFehlernummer:-1\r\n"));
  }
};

QTEST_MAIN(ErrorReportTest)
#include "error_report_test.moc"
