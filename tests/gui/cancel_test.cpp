// Esc while "Abfrage" runs a statement: the statement stops with 3059 through the error report,
// the grid and the size caption keep what they showed, and no other input reaches the window
// until the statement has ended.

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"
#include "jet/error.h"

using testing_gui::FakeEngine;
using testing_gui::LongRows;
using testing_gui::Window;

class CancelTest : public QObject {
  Q_OBJECT

 private slots:
  void escStopsTheStatementAndKeepsGridAndCaption() {
    FakeEngine engine;
    Window t(engine);
    engine.files["/a.mdb"] = {{"artikel", 0, {"Nr", "Name"}}};
    t.OpenDatabase("/a.mdb");
    engine.runner = [](const std::string&, const std::string&) { return LongRows({"a", "b"}, 2); };
    t->cmdQuery_Click();
    QCOMPARE(t->lblGridSize->text(), QString(" 2  x  2"));

    // A statement that runs until it is told to stop, or for five seconds at most.
    int runs = 0;
    engine.runner = [&engine, &runs](const std::string&, const std::string&) -> jetsql::RecordSet {
      ++runs;
      QElapsedTimer clock;
      clock.start();
      while (clock.elapsed() < 5000) {
        if (engine.cancel_check && engine.cancel_check()) throw errors::CancelledByUser();
      }
      return LongRows({"x"}, 7);
    };
    // While it runs: another click on "Abfrage" and a key for the editor, then Esc.
    QTimer::singleShot(50, t.w.get(), [&t] {
      QTest::mouseClick(t->cmdQuery, Qt::LeftButton);
      QTest::keyClick(t->txtSQL, Qt::Key_A);
    });
    QTimer::singleShot(150, t.w.get(), [&t] { QTest::keyClick(t->txtSQL, Qt::Key_Escape); });
    const QString text = t->txtSQL->Text();
    t->cmdQuery_Click();

    QCOMPARE(runs, 1);
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY2(t.LastBox().find("Fehlernummer: 3059") != std::string::npos, t.LastBox().c_str());
    QCOMPARE(t.box->shown[0].pointer_when_shown, 0);
    QCOMPARE(t->MousePointer(), 0);
    QCOMPARE(t->lblGridSize->text(), QString(" 2  x  2"));
    QCOMPARE(t->fgridQuery->Rows(), 3);
    QCOMPARE(t->txtSQL->Text(), text);

    // Afterwards Esc is an ordinary key again and the next statement runs in full.
    engine.runner = [](const std::string&, const std::string&) {
      return LongRows({"a", "b", "c"}, 4);
    };
    QTest::keyClick(t->txtSQL, Qt::Key_Escape);
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(t->lblGridSize->text(), QString(" 4  x  3"));
  }

  void escOnARealFileStopsACrossJoin() {
    if (!testsupport::HaveSamples()) QSKIP("no sample files at " QUORLA_SAMPLES_DIR);
    Window t;
    t.OpenDatabase(testsupport::SamplePath("bench/orders-100k.mdb"));
    QCOMPARE(t.box->shown.size(), size_t{0});
    t->txtSQL->SetText("select Count(*) from orders as a, orders as b where a.Menge < b.Menge");
    QTimer::singleShot(200, t.w.get(), [&t] { QTest::keyClick(t->txtSQL, Qt::Key_Escape); });
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY2(t.LastBox().find("Fehlernummer: 3059") != std::string::npos, t.LastBox().c_str());
    QCOMPARE(t->lblGridSize->text(), QString());
  }
};

QTEST_MAIN(CancelTest)
#include "cancel_test.moc"
