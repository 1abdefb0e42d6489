// Large results in the window: records beyond the memory budget wait in a temporary file and
// come back exactly, in order and in any order; the first rows show while the statement still
// runs; Esc or an error in the middle of a statement gives back the previous result as it was
// shown; a new result, or closing the window, removes the old result's file.

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <random>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"
#include "jet/error.h"
#include "query/record_store.h"
#include "query/value_text.h"

using testing_gui::FakeEngine;
using testing_gui::Window;

namespace {

constexpr size_t kSmallBudget = 64 * 1024;

// Record `r` of a result with a Long, a text of varying length (now and then longer than a
// block of the store), a Double and, every seventh record, a Null.
std::vector<jet::Value> Record(int r) {
  const size_t length = r % 997 == 0 ? 100000 : static_cast<size_t>(r % 50);
  std::string text(length, static_cast<char>('a' + r % 26));
  text += std::to_string(r);
  jet::Value last = r % 7 == 0 ? jet::Value() : jet::Value(r * 0.5);
  return {int32_t{r}, std::move(text), std::move(last)};
}

const std::vector<std::string> kFields = {"n", "t", "d"};
const std::vector<jet::ColumnType> kTypes = {jet::ColumnType::kLong, jet::ColumnType::kMemo,
                                             jet::ColumnType::kDouble};

// Opens a database in a window whose results go to a file beyond kSmallBudget; `show` shows it.
void OpenSmallBudget(FakeEngine& engine, Window& t, bool show = true) {
  engine.files["/a.mdb"] = {{"artikel", 0, {"Nr"}}};
  t.OpenDatabase("/a.mdb");
  t->Data1->SetMemoryBudget(kSmallBudget);
  if (!show) return;
  t->resize(800, 600);
  t->show();
}

// A statement that sends `rows` records; `during` is called once after `midway` of them.
void Stream(FakeEngine& engine, int rows, int midway = -1, std::function<void()> during = {}) {
  engine.streamer = [rows, midway, during](const std::string&, const std::string&,
                                           jetsql::RowSink& sink) {
    sink.Fields(kFields, kTypes);
    for (int r = 0; r < rows; ++r) {
      if (r == midway && during) during();
      std::vector<jet::Value> row = Record(r);
      sink.Row(row);
    }
  };
}

// Presses Esc and lets the statement see it: it runs on until it is told to stop.
void PressEscAndWait(FakeEngine& engine, Window& t) {
  QCoreApplication::postEvent(t->txtSQL,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  while (!engine.cancel_check()) {
  }
  throw errors::CancelledByUser();
}

// What the grid shows in cell (row, col) of record `r`, counting the fixed row and column.
QString Expected(int r, int col) {
  return query::ValueText(Record(r)[static_cast<size_t>(col - 1)]);
}

bool Exists(const QString& path) {
  return !path.isEmpty() && QFileInfo::exists(path);
}

QString SpillPathOf(Window& t) {
  const query::RecordStore* store = t->fgridQuery->model_data().store();
  return store ? store->SpillPath() : QString();
}

}  // namespace

class ResultStreamTest : public QObject {
  Q_OBJECT

 private slots:
  void storeGivesBackEveryValueBeyondItsBudget() {
    query::RecordStore store(kSmallBudget);
    constexpr int kRows = 30000;
    for (int r = 0; r < kRows; ++r) store.Append(Record(r));
    QCOMPARE(store.size(), size_t{kRows});
    QVERIFY(Exists(store.SpillPath()));
    for (int r = 0; r < kRows; ++r) {
      const std::vector<jet::Value> want = Record(r);
      for (size_t c = 0; c < want.size(); ++c) {
        if (!(store.At(static_cast<size_t>(r), c) == want[c])) {
          QFAIL(qPrintable(QString("record %1, column %2").arg(r).arg(c)));
        }
      }
    }
    // In any order, far more blocks than the cache holds.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> any(0, kRows - 1);
    for (int i = 0; i < 5000; ++i) {
      const int r = any(random);
      const size_t c = static_cast<size_t>(i % 3);
      QVERIFY2(store.At(static_cast<size_t>(r), c) == Record(r)[c], qPrintable(QString::number(r)));
    }
    // Beyond the end of a record, or of the records, a cell is Null.
    QVERIFY(jet::IsNull(store.At(0, 3)));
    QVERIFY(jet::IsNull(store.At(kRows, 0)));
  }

  void everyTypeComesBackFromTheFileUnchanged() {
    jet::Decimal d;
    d.negative = true;
    d.mantissa = (static_cast<unsigned __int128>(1) << 90) + 7;
    d.precision = 28;
    d.scale = 4;
    jet::Guid g{};
    for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(0xF0 + i);
    const std::vector<jet::Value> all = {std::monostate{},
                                         true,
                                         false,
                                         uint8_t{255},
                                         int16_t{-32768},
                                         int32_t{-7},
                                         jet::Currency{-123456789012345},
                                         1.5f,
                                         -2.25e300,
                                         jet::DateTime{-1.25},
                                         jet::Bytes{0, 1, 2, 0},
                                         jet::Bytes{},
                                         std::string("Grüße\r\n") + std::string(5000, 'x'),
                                         std::string(),
                                         g,
                                         d};
    // No budget at all: every record but the last goes through the file.
    query::RecordStore store(0);
    const std::vector<std::vector<jet::Value>> rows = {all, {}, {int32_t{1}}, all, all};
    for (int round = 0; round < 20; ++round) {
      for (const auto& row : rows) store.Append(row);
    }
    QVERIFY(Exists(store.SpillPath()));
    for (size_t row : {size_t{0}, size_t{3}, size_t{50}, size_t{99}}) {
      for (size_t col = 0; col < all.size(); ++col) {
        QVERIFY2(store.At(row, col) == all[col], qPrintable(QString("col %1").arg(col)));
      }
    }
    QVERIFY(jet::IsNull(store.At(1, 0)));
    QVERIFY(store.At(2, 0) == jet::Value(int32_t{1}));
    QVERIFY(jet::IsNull(store.At(2, 1)));
  }

  void largeResultShowsItsFirstRowsAtOnceAndReadsBackExactly() {
    FakeEngine engine;
    Window t(engine);
    OpenSmallBudget(engine, t);
    engine.runner = [](const std::string&, const std::string&) {
      return testing_gui::LongRows({"a"}, 1);
    };
    t->cmdQuery_Click();
    QCOMPARE(t->lblGridSize->text(), QString(" 1  x  1"));

    constexpr int kRows = 20000;
    int rows_while_running = 0;
    int pointer_while_running = 0;
    QString caption_while_running;
    Stream(engine, kRows, kRows / 2, [&] {
      rows_while_running = t->fgridQuery->Rows();
      pointer_while_running = t->MousePointer();
      caption_while_running = t->lblGridSize->text();
    });
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{0});
    QVERIFY2(rows_while_running > 1, qPrintable(QString::number(rows_while_running)));
    QCOMPARE(pointer_while_running, 11);
    QCOMPARE(caption_while_running, QString(" 1  x  1"));
    QCOMPARE(t->MousePointer(), 0);
    QCOMPARE(t->lblGridSize->text(), QString(" 20000  x  3"));
    QCOMPARE(t->fgridQuery->Rows(), kRows + 1);
    QCOMPARE(t->fgridQuery->currentIndex(), t->fgridQuery->model()->index(0, 0));
    QVERIFY(Exists(SpillPathOf(t)));

    query::FlexGrid& grid = *t->fgridQuery;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 1; c <= 3; ++c) {
        if (grid.TextMatrix(r + 1, c) != Expected(r, c)) {
          QFAIL(qPrintable(QString("record %1, column %2").arg(r).arg(c)));
        }
      }
    }
    // Scrolled to the end, the view reads the last records.
    grid.scrollToBottom();
    QCoreApplication::processEvents();
    QCOMPARE(grid.TextMatrix(kRows, 2), Expected(kRows - 1, 2));
  }

  void escInTheMiddleGivesBackThePreviousResultAsItWasShown() {
    FakeEngine engine;
    Window t(engine);
    OpenSmallBudget(engine, t);
    Stream(engine, 5000);
    t->cmdQuery_Click();
    QCOMPARE(t->lblGridSize->text(), QString(" 5000  x  3"));
    const QString first_file = SpillPathOf(t);
    QVERIFY(Exists(first_file));
    // The user moves down and right and widens a column.
    query::FlexGrid& grid = *t->fgridQuery;
    grid.setCurrentIndex(grid.model()->index(4000, 2));
    grid.scrollTo(grid.currentIndex());
    grid.horizontalHeader()->resizeSection(1, 333);
    QCoreApplication::processEvents();
    const int vertical = grid.verticalScrollBar()->value();
    QVERIFY(vertical > 0);

    // A statement that has shown some of its rows and runs on until Esc.
    QString second_file;
    int rows_while_running = 0;
    Stream(engine, 100000, 3000, [&] {
      rows_while_running = grid.Rows();
      second_file = SpillPathOf(t);
      PressEscAndWait(engine, t);
    });
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY2(t.LastBox().find("Fehlernummer: 3059") != std::string::npos, t.LastBox().c_str());
    QCOMPARE(t.box->shown[0].pointer_when_shown, 0);
    QVERIFY(rows_while_running > 1);
    QVERIFY(!second_file.isEmpty() && second_file != first_file);
    QVERIFY(!QFileInfo::exists(second_file));

    QCOMPARE(t->lblGridSize->text(), QString(" 5000  x  3"));
    QCOMPARE(grid.Rows(), 5001);
    QCOMPARE(grid.currentIndex(), grid.model()->index(4000, 2));
    QCOMPARE(grid.verticalScrollBar()->value(), vertical);
    QCOMPARE(grid.horizontalHeader()->sectionSize(1), 333);
    QCOMPARE(SpillPathOf(t), first_file);
    QCOMPARE(grid.TextMatrix(4001, 2), Expected(4000, 2));

    // An engine error in the middle does the same.
    Stream(engine, 100000, 3000,
           [] { throw jet::Error(3035, "Nicht genügend Systemressourcen."); });
    t->cmdQuery_Click();
    QCOMPARE(t.box->shown.size(), size_t{2});
    QCOMPARE(t->lblGridSize->text(), QString(" 5000  x  3"));
    QCOMPARE(grid.currentIndex(), grid.model()->index(4000, 2));
    QCOMPARE(grid.TextMatrix(5000, 1), Expected(4999, 1));
  }

  void aNewResultOrClosingTheWindowRemovesTheOldFile() {
    FakeEngine engine;
    QString second_file;
    {
      Window t(engine);
      OpenSmallBudget(engine, t, false);
      Stream(engine, 4000);
      t->cmdQuery_Click();
      const QString first_file = SpillPathOf(t);
      QVERIFY(Exists(first_file));
      t->cmdQuery_Click();
      second_file = SpillPathOf(t);
      QVERIFY(Exists(second_file));
      QVERIFY(!Exists(first_file));
      QCOMPARE(t->lblGridSize->text(), QString(" 4000  x  3"));
      // Within the budget a result stays in memory: no file at all.
      t->Data1->SetMemoryBudget(query::RecordStore::kDefaultMemoryBudget);
      Stream(engine, 10);
      t->cmdQuery_Click();
      QVERIFY(!Exists(second_file));
      QCOMPARE(SpillPathOf(t), QString());
      t->Data1->SetMemoryBudget(kSmallBudget);
      Stream(engine, 4000);
      t->cmdQuery_Click();
      second_file = SpillPathOf(t);
      QVERIFY(Exists(second_file));
    }
    QVERIFY(!Exists(second_file));
  }
};

QTEST_MAIN(ResultStreamTest)
#include "result_stream_test.moc"
