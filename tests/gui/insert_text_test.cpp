// Double-clicking a table or field name puts it in brackets at the caret, as one step that
// Ctrl+Z takes back.

#include <QTest>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"

using testing_gui::Window;

class InsertTextTest : public QObject {
  Q_OBJECT

 private slots:
  // The name replaces the selection (or goes in at the caret); the caret ends after it with
  // nothing selected. Line breaks count as two characters.
  void nameGoesInAtTheCaretOrOverTheSelection() {
    struct Case {
      const char* text;
      int start, length;
      const char* name;
      const char* expected;
      int caret;
    };
    const Case cases[] = {
        {"select * from artikel", 0, 0, "[artikel]", "[artikel]select * from artikel", 9},
        {"select * from ", 14, 0, "[kunden]", "select * from [kunden]", 22},
        {"select * from artikel", 14, 7, "[kunden]", "select * from [kunden]", 22},
        {"select *\r\nfrom \r\nwhere", 15, 0, "[a]", "select *\r\nfrom [a]\r\nwhere", 18},
    };
    for (const Case& c : cases) {
      Window t;
      t->txtSQL->SetText(c.text);
      t->txtSQL->SetSelStart(c.start);
      t->txtSQL->SetSelLength(c.length);
      t->inserttxt(c.name);
      QCOMPARE(t->txtSQL->Text(), QString(c.expected));
      QCOMPARE(t->txtSQL->SelStart(), c.caret);
      QCOMPARE(t->txtSQL->SelLength(), 0);
    }
  }

  void doubleClicksInsertTheSelectedEntryAndFocusTheEditor() {
    testing_gui::FakeEngine engine;
    engine.files["/a.mdb"] = {{"artikel", 0, {"ArtikelNr", "Preis"}}, {"kunden", 0, {"Id"}}};
    Window t(engine);
    t->show();
    QVERIFY(QTest::qWaitForWindowExposed(t.w.get()));
    t.OpenDatabase("/a.mdb");
    t->txtSQL->SetText("select  from ");
    t->txtSQL->SetSelStart(7);
    QListWidget* fields = t->lstFelder;
    const QPoint second = fields->visualItemRect(fields->item(1)).center();
    QTest::mouseClick(fields->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(fields->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(t->txtSQL->Text(), QString("select [Preis] from "));
    QVERIFY(t->txtSQL->hasFocus());
    t->txtSQL->SetSelStart(static_cast<int32_t>(t->txtSQL->Text().size()));
    QListWidget* tables = t->lstTabellen;
    const QPoint first = tables->visualItemRect(tables->item(0)).center();
    QTest::mouseDClick(tables->viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(t->txtSQL->Text(), QString("select [Preis] from [artikel]"));
    QCOMPARE(t->txtSQL->SelStart(), t->txtSQL->Text().size());
    // Typing goes on at the caret.
    QTest::keyClicks(t->txtSQL, " x");
    QCOMPARE(t->txtSQL->Text(), QString("select [Preis] from [artikel] x"));
    QVERIFY(t.box->shown.empty());
  }

  void ctrlZTakesBackOneInsertionAtATime() {
    testing_gui::FakeEngine engine;
    engine.files["/a.mdb"] = {{"artikel", 0, {"ArtikelNr", "Preis"}}};
    Window t(engine);
    t->show();
    QVERIFY(QTest::qWaitForWindowActive(t.w.get()));
    t.OpenDatabase("/a.mdb");
    t->txtSQL->SetText("select * from ");
    t->txtSQL->setFocus();
    t->txtSQL->SetSelStart(14);
    QTest::keyClicks(t->txtSQL, "x ");  // typed right before the insertion
    t->lstTabellen_DblClick();
    QCOMPARE(t->txtSQL->Text(), QString("select * from x [artikel]"));
    QTest::keyClick(t->txtSQL, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t->txtSQL->Text(), QString("select * from x "));
    QCOMPARE(t->txtSQL->SelStart(), 16);
    // A name in place of a selection comes back out as the selected text.
    t->txtSQL->SetSelStart(7);
    t->txtSQL->SetSelLength(1);  // "*"
    t->lstFelder->setCurrentRow(1);
    t->lstFelder_DblClick();
    QCOMPARE(t->txtSQL->Text(), QString("select [Preis] from x "));
    QTest::keyClick(t->txtSQL, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(t->txtSQL->Text(), QString("select * from x "));
    t->txtSQL->redo();
    QCOMPARE(t->txtSQL->Text(), QString("select [Preis] from x "));
  }

  void nothingSelectedInsertsEmptyBrackets() {
    Window t;
    t->txtSQL->SetSelStart(0);
    t->lstFelder_DblClick();
    QCOMPARE(t->txtSQL->Text(), QString("[]select * from artikel"));
    QCOMPARE(t->txtSQL->SelStart(), 2);
  }
};

QTEST_MAIN(InsertTextTest)
#include "insert_text_test.moc"
