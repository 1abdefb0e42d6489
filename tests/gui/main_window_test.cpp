// The window as it starts: controls, captions that fit, the editor, pointer, and ending.

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/design.h"
#include "gui/support/window_fixture.h"

using testing_gui::Window;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startState() {
    Window t;
    app::frmSQL& w = *t.w;
    QCOMPARE(w.lblGridSize->text(), QString());
    // The grid: one fixed row, one fixed column and one empty cell.
    QCOMPARE(w.fgridQuery->Rows(), 2);
    QCOMPARE(w.fgridQuery->Cols(), 2);
    QCOMPARE(w.fgridQuery->TextMatrix(1, 1), QString());
    QVERIFY(!w.Data1->isVisibleTo(&w));
    QVERIFY(!w.database());
    QVERIFY(!w.cmdQuery->isDefault() && !w.cmdQuery->autoDefault());
    for (QWidget* c :
         std::initializer_list<QWidget*>{w.txtSQL, w.fgridQuery, w.cmdQuery, w.lstTabellen,
                                         w.lstFelder, w.lblTabelle, w.lblFelder, w.lblGridSize}) {
      QVERIFY2(c->isEnabled() && c->isVisibleTo(&w), qPrintable(c->objectName()));
    }
  }

  void editorIsFixedWidthNinePointWithScrollBarAndNewLineOnEnter() {
    Window t;
    app::frmSQL& w = *t.w;
    QVERIFY(QFontInfo(w.txtSQL->font()).fixedPitch());
    QCOMPARE(w.txtSQL->font().pointSizeF(), 9.0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.txtSQL->setFocus();
    w.txtSQL->SetSelStart(static_cast<int32_t>(w.txtSQL->Text().size()));
    QTest::keyClick(w.txtSQL, Qt::Key_Return);
    QTest::keyClick(w.txtSQL, Qt::Key_X);
    QCOMPARE(w.txtSQL->Text(), QString("select * from artikel\r\nx"));
    // Neither Enter nor Esc presses the button: nothing was run, so no error box.
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(t.box->shown.empty());
  }

  void captionsFitTheirBoxes() {
    Window t;
    app::frmSQL& w = *t.w;
    const QFontMetrics fm(w.lblTabelle->font());
    for (QLabel* l : {w.lblTabelle, w.lblFelder}) {
      QVERIFY2(fm.horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
      QVERIFY(fm.height() <= l->height());
    }
    QVERIFY(QFontMetrics(w.cmdQuery->font()).horizontalAdvance("Abfrage") < w.cmdQuery->width());
    // Every control but the editor uses the window's font.
    QCOMPARE(w.lstTabellen->font(), w.font());
    QCOMPARE(w.cmdQuery->font(), w.font());
  }

  void busyPointerShowsTheWaitCursor() {
    Window t;
    t->SetMousePointer(app::kPointerHourglass);
    QCOMPARE(t->cursor().shape(), Qt::WaitCursor);
    t->SetMousePointer(app::kPointerDefault);
    QCOMPARE(t->cursor().shape(), Qt::ArrowCursor);
  }

  void endEndsTheEventLoopWithoutAsking() {
    Window t;
    t->show();
    t->txtSQL->SetText("create table x (a long)");  // unsaved text is simply lost
    QTimer::singleShot(0, t.w.get(), [&t] { t->mnu_Datenbank[1]->trigger(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(t.box->shown.empty());
    QCOMPARE(t.query_dialog->shown, 0);
  }

  void menuIndexesOutsideTheArraysDoNothing() {
    Window t;
    t->mnu_Datenbank_Click(2);
    t->mnu_Abfrage_Click(-1);
    QCOMPARE(t.db_dialog->shown, 0);
    QCOMPARE(t.query_dialog->shown, 0);
    QVERIFY(t.box->shown.empty());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
