// The keyboard moves the focus along the window's tab order, out of the editor and out of the
// grid; Ctrl+Tab still types a tab character in the editor.

#include <QApplication>
#include <QTest>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"

using testing_gui::FakeEngine;
using testing_gui::Window;

namespace {
// A window with a database open and a result of several cells in the grid, shown and active.
void ShowWithResult(FakeEngine& engine, Window& t) {
  engine.files["/a.mdb"] = {{"artikel", 0, {"Nr", "Name"}}, {"kunden", 0, {"Id"}}};
  engine.runner = [](const std::string&, const std::string&) {
    return testing_gui::LongRows({"a", "b", "c"}, 5);
  };
  t.OpenDatabase("/a.mdb");
  t->cmdQuery_Click();
  t->show();
  QVERIFY(QTest::qWaitForWindowActive(t.w.get()));
}

QWidget* Focused() {
  return QApplication::focusWidget();
}
}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void tabRunsAlongTheTabOrderAndShiftTabBack() {
    FakeEngine engine;
    Window t(engine);
    ShowWithResult(engine, t);
    QVERIFY(t.box->shown.empty());
    t->txtSQL->setFocus();
    const QString text = t->txtSQL->Text();

    // The labels take no focus: after the field list the editor comes again.
    const std::vector<QWidget*> order = {t->txtSQL, t->fgridQuery, t->cmdQuery, t->lstTabellen,
                                         t->lstFelder};
    const QModelIndex cell = t->fgridQuery->currentIndex();
    for (size_t i = 0; i < order.size(); ++i) {
      QTest::keyClick(order[i], Qt::Key_Tab);
      QCOMPARE(Focused(), order[(i + 1) % order.size()]);
    }
    QCOMPARE(t->fgridQuery->currentIndex(), cell);  // left the grid, not moved within it
    // And back.
    for (size_t i = order.size(); i > 0; --i) {
      QWidget* from = order[i % order.size()];
      QTest::keyClick(from, from == t->txtSQL ? Qt::Key_Tab : Qt::Key_Backtab, Qt::ShiftModifier);
      QCOMPARE(Focused(), order[i - 1]);
    }
    QCOMPARE(t->txtSQL->Text(), text);
    QVERIFY(t.box->shown.empty());  // the button was passed, not pressed
  }

  void arrowKeysStillMoveWithinTheGrid() {
    FakeEngine engine;
    Window t(engine);
    ShowWithResult(engine, t);
    t->fgridQuery->setFocus();
    QTest::keyClick(t->fgridQuery, Qt::Key_Right);
    QTest::keyClick(t->fgridQuery, Qt::Key_Down);
    QCOMPARE(t->fgridQuery->currentIndex().row(), 1);
    QCOMPARE(t->fgridQuery->currentIndex().column(), 1);
    QCOMPARE(Focused(), t->fgridQuery);
  }

  void ctrlTabTypesATabCharacterInTheEditor() {
    Window t;
    t->show();
    QVERIFY(QTest::qWaitForWindowActive(t.w.get()));
    t->txtSQL->SetText("select *from artikel");
    t->txtSQL->setFocus();
    t->txtSQL->SetSelStart(8);
    QTest::keyClick(t->txtSQL, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(t->txtSQL->Text(), QString("select *\tfrom artikel"));
    QCOMPARE(t->txtSQL->SelStart(), 9);
    QCOMPARE(Focused(), t->txtSQL);
  }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
