// "Abfrage": the result path, the action path, the size caption, the busy pointer, and the
// right-button preview of the selected table.

#include <QTemporaryDir>
#include <QTest>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"

using testing_gui::FakeEngine;
using testing_gui::LongRows;
using testing_gui::Window;

namespace {
// Records what the data source was asked to run and the pointer at that moment.
struct Recorder {
  std::vector<std::string> statements;
  std::vector<int> pointers;
};

void Answer(FakeEngine& engine, Window& t, Recorder& rec, int rows, int fields) {
  engine.runner = [&t, &rec, rows, fields](const std::string&, const std::string& sql) {
    rec.statements.push_back(sql);
    rec.pointers.push_back(t->MousePointer());
    std::vector<std::string> names;
    for (int i = 0; i < fields; ++i) names.push_back("f" + std::to_string(i));
    return LongRows(names, rows);
  };
}

void OpenFake(FakeEngine& engine, Window& t) {
  engine.files["/a.mdb"] = {
      {"artikel", 0, {"Nr", "Name"}}, {"kunden", 0, {"Id"}}, {"a]b", 0, {"x"}}};
  t.OpenDatabase("/a.mdb");
}

// A window with the fake catalogue open whose statements answer `rows` x `fields`.
struct Answering {
  FakeEngine engine;
  Window t{engine};
  Recorder rec;
  Answering(int rows, int fields) {
    OpenFake(engine, t);
    Answer(engine, t, rec, rows, fields);
  }
};
}  // namespace

class RunStatementTest : public QObject {
  Q_OBJECT

 private slots:
  void selectInAnyCaseTakesTheResultPath() {
    for (const char* text :
         {"select * from artikel", "SELECT * FROM artikel", "SeLeCt 1 from artikel",
          "select * into neu from artikel", "select;"}) {
      Answering a(25, 4);
      Window& t = a.t;
      t->txtSQL->SetText(text);
      t->cmdQuery_Click();
      QVERIFY2(t.box->shown.empty(), text);
      QCOMPARE(a.rec.statements, std::vector<std::string>{text});  // passed unchanged
      QCOMPARE(t->Data1->RecordSource(), std::string(text));
      QCOMPARE(a.rec.pointers, std::vector<int>{11});
      QCOMPARE(t->MousePointer(), 0);
      QCOMPARE(t->lblGridSize->text(), QString(" 25  x  4"));
      QCOMPARE(t->fgridQuery->Rows(), 26);
      QCOMPARE(t->fgridQuery->Cols(), 5);
      QCOMPARE(t->fgridQuery->TextMatrix(0, 1), QString("f0"));
    }
  }

  void otherTextsTakeTheActionPath() {
    for (const char* text :
         {" select * from artikel", "\r\nselect * from artikel", "(select * from artikel)",
          "/* c */ select 1", "selec", "", "delete from artikel"}) {
      Answering a(1, 1);
      Window& t = a.t;
      t->txtSQL->SetText(text);
      const int opens = a.engine.opens;
      t->cmdQuery_Click();
      QVERIFY2(a.rec.statements.empty(), text);
      // The engine is asked to execute it; whatever it raises is reported, and the database
      // is not reopened.
      QCOMPARE(t.box->shown.size(), size_t{1});
      QCOMPARE(t.box->shown[0].pointer_when_shown, 0);
      QCOMPARE(t->MousePointer(), 0);
      QCOMPARE(a.engine.opens, opens);
      QCOMPARE(t->lstTabellen->count(), 3);
    }
  }

  void emptyResultShowsZeroRecords() {
    Answering a(0, 3);
    Window& t = a.t;
    t->cmdQuery_Click();
    QCOMPARE(t->lblGridSize->text(), QString(" 0  x  3"));
    QCOMPARE(t->fgridQuery->Rows(), 1);
    QCOMPARE(t->fgridQuery->TextMatrix(0, 3), QString("f2"));
  }

  void failingRefreshKeepsGridAndCaption() {
    Answering a(2, 2);
    Window& t = a.t;
    t->cmdQuery_Click();
    a.engine.runner = [&t](const std::string&, const std::string&) -> jetsql::RecordSet {
      if (t->MousePointer() != 11) throw jet::Error(1, "pointer not busy");
      throw jet::Error(3078, "Tabelle 'nix' nicht gefunden.");
    };
    t->txtSQL->SetText("select * from nix");
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(t.LastBox(), std::string("Ein Fehler ist aufgetreten\r\nFehlernummer: 3078\r\n"
                                      "Tabelle 'nix' nicht gefunden."));
    QCOMPARE(t.box->shown[0].pointer_when_shown, 0);
    QCOMPARE(t->lblGridSize->text(), QString(" 2  x  2"));
    QCOMPARE(t->fgridQuery->Rows(), 3);
  }

  void noDatabaseOpen() {
    Window t;
    t->cmdQuery_Click();  // result path: no database named
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY(t.LastBox().find("Fehlernummer: 3024") != std::string::npos);
    QCOMPARE(t.box->shown[0].pointer_when_shown, 0);
    t->txtSQL->SetText("drop table artikel");
    t->cmdQuery_Click();  // action path: the handle is empty
    QCOMPARE(t.box->shown.size(), size_t{2});
    QVERIFY(t.LastBox().find("Fehlernummer: 91") != std::string::npos);
    QCOMPARE(t->lblGridSize->text(), QString());
  }

  void actionPathExecutesThenReopensAndRebuildsTheLists() {
    Answering a(3, 1);
    Window& t = a.t;
    t->cmdQuery_Click();  // an earlier result in the grid
    t->lstTabellen->setCurrentRow(1);
    std::vector<std::string> executed;
    a.engine.executor = [&](const std::string& path, const std::string& sql) {
      executed.push_back(path + ": " + sql);
      if (t->MousePointer() != 11) throw jet::Error(1, "pointer not busy");
      a.engine.files["/a.mdb"].push_back({"neu", 0, {"a"}});
    };
    const auto before = t->database();
    const int opens = a.engine.opens;
    t->txtSQL->SetText("create table neu (a long)");
    t->cmdQuery_Click();
    QVERIFY2(t.box->shown.empty(), t.LastBox().c_str());
    QCOMPARE(executed, std::vector<std::string>{"/a.mdb: create table neu (a long)"});
    QCOMPARE(a.engine.opens, opens + 1);
    QVERIFY(t->database() != before);
    QCOMPARE(t->lstTabellen->count(), 4);
    QCOMPARE(t->lstTabellen->item(3)->text(), QString("neu"));
    QCOMPARE(t->lstTabellen->currentRow(), 0);
    QCOMPARE(t->lstFelder->count(), 2);  // the first table's fields
    QCOMPARE(t->lblGridSize->text(), QString(" 3  x  1"));
    QCOMPARE(t->fgridQuery->Rows(), 4);
    QCOMPARE(t->MousePointer(), 0);
  }

  void actionAfterAFailedOpenReopensTheNewPathAndReportsIt() {
    FakeEngine engine;
    Window t(engine);
    OpenFake(engine, t);
    t.OpenDatabase("/b.mdb");  // fails; the dialog keeps /b.mdb
    QCOMPARE(t.box->shown.size(), size_t{1});
    const auto a = t->database();
    std::vector<std::string> executed;
    engine.executor = [&](const std::string& path, const std::string&) {
      executed.push_back(path);
    };
    t->txtSQL->SetText("delete from artikel");
    t->cmdQuery_Click();
    QCOMPARE(executed, std::vector<std::string>{"/a.mdb"});  // ran on the open database
    QCOMPARE(t.box->shown.size(), size_t{2});
    QVERIFY(t.LastBox().find("'/b.mdb'") != std::string::npos);
    QCOMPARE(t.box->shown[1].pointer_when_shown, 0);
    QCOMPARE(t->database(), a);
    QCOMPARE(t->lstTabellen->count(), 3);
  }

  // ---- Preview ------------------------------------------------------------------------

  void rightPressPreviewsTheSelectedTableNotTheOneUnderThePointer() {
    FakeEngine engine;
    Window t(engine);
    t->show();
    QVERIFY(QTest::qWaitForWindowExposed(t.w.get()));
    OpenFake(engine, t);
    Recorder rec;
    Answer(engine, t, rec, 7, 2);
    const QString editor = t->txtSQL->Text();
    QListWidget* list = t->lstTabellen;
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, second);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, second);
    QCOMPARE(rec.statements, std::vector<std::string>{"select * from [artikel]"});
    QCOMPARE(rec.pointers, std::vector<int>{11});
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(t->lblGridSize->text(), QString(" 7  x  2"));
    QCOMPARE(t->Data1->RecordSource(), std::string("select * from [artikel]"));
    QCOMPARE(t->txtSQL->Text(), editor);
    QCOMPARE(t->MousePointer(), 0);
    QCOMPARE(t->lstFelder->count(), 2);

    // Left and middle presses run nothing; the left one selects as usual.
    QTest::mouseClick(list->viewport(), Qt::MiddleButton, {}, second);
    QCOMPARE(list->currentRow(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(t->lstFelder->count(), 1);
    QCOMPARE(rec.statements.size(), size_t{1});
    QVERIFY(t.box->shown.empty());
  }

  void previewOfANameWithBracketIsPassedUnescaped() {
    Answering a(0, 1);
    Window& t = a.t;
    t->lstTabellen->setCurrentRow(2);
    t->lstTabellen_MouseDown(2, 0, 0, 0);
    QCOMPARE(a.rec.statements, std::vector<std::string>{"select * from [a]b]"});
    QCOMPARE(t->lblGridSize->text(), QString(" 0  x  1"));
  }

  void previewFailures() {
    {
      Window t;  // no database open
      t->lstTabellen_MouseDown(2, 0, 0, 0);
      QCOMPARE(t.box->shown.size(), size_t{1});
      QVERIFY(t.LastBox().find("Fehlernummer: 91") != std::string::npos);
      QCOMPARE(t->MousePointer(), 0);
      t->lstTabellen_MouseDown(1, 0, 0, 0);
      t->lstTabellen_MouseDown(4, 0, 0, 0);
      QCOMPARE(t.box->shown.size(), size_t{1});
    }
    {
      FakeEngine engine;
      engine.files["/leer.mdb"] = {};
      Window t(engine);
      t.OpenDatabase("/leer.mdb");  // reported: no table to select
      t->lstTabellen_MouseDown(2, 0, 0, 0);
      QCOMPARE(t.box->shown.size(), size_t{2});
      QVERIFY(t.LastBox().find("Fehlernummer: 3265") != std::string::npos);
      QCOMPARE(t.box->shown[1].pointer_when_shown, 0);
    }
  }

  // ---- Real file: the preview's wiring (action_path runs statements on real files) ------

  void realPreviewOfTheSelectedTable() {
    OPEN_SAMPLE_COPY(t, "bench/orders-100k.mdb");
    const QList<QListWidgetItem*> found = t->lstTabellen->findItems("artikel", Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    t->lstTabellen->setCurrentItem(found[0]);
    t->lstTabellen_MouseDown(2, 0, 0, 0);
    QVERIFY2(t.box->shown.empty(), t.LastBox().c_str());
    QCOMPARE(t->fgridQuery->Rows(), 26);
    QCOMPARE(t->fgridQuery->Cols(), t->lstFelder->count() + 1);
    QCOMPARE(t->fgridQuery->TextMatrix(0, 1), t->lstFelder->item(0)->text());
    QCOMPARE(t->txtSQL->Text(), QString("select * from artikel"));
  }
};

QTEST_MAIN(RunStatementTest)
#include "run_statement_test.moc"
