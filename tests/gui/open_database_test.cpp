// "Datenbank" -> "Laden" and the table and field lists.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "gui/support/fake_engine.h"
#include "gui/support/window_fixture.h"

using testing_gui::FakeEngine;
using testing_gui::FakeTable;
using testing_gui::Window;

namespace {
constexpr uint32_t kSystemHigh = 0x80000000u;
constexpr uint32_t kSystemLow = 0x2u;
constexpr uint32_t kHidden = 0x1u;

QStringList Items(const QListWidget* l) {
  QStringList out;
  for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
  return out;
}

// Ten catalogue entries, of which three are user tables.
std::vector<FakeTable> Catalogue() {
  return {{"MSysObjects", kSystemHigh | kSystemLow, {"Id"}},
          {"kunden", 0, {"KundeNr", "Name", "Ort"}},
          {"MSysACEs", kSystemHigh, {"ACM"}},
          {"versteckt", kHidden, {"a"}},
          {"MSysQueries", kSystemLow, {"Attribute"}},
          {"MSysRelationships", kSystemHigh | kSystemLow, {"ccolumn"}},
          {"~sq_x", kSystemLow, {}},
          {"artikel", 0, {"ArtikelNr", "Bezeichnung"}},
          {"MSysAccessObjects", kSystemHigh, {"Data"}},
          {"MSysNavPaneGroups", kSystemHigh | kSystemLow, {}}};
}

// A window with that catalogue open as /a.mdb.
struct Opened {
  FakeEngine engine;
  Window t{engine};
  Opened() {
    engine.files["/a.mdb"] = Catalogue();
    t.OpenDatabase("/a.mdb");
  }
};
}  // namespace

class OpenDatabaseTest : public QObject {
  Q_OBJECT

 private slots:
  void openFillsTheListsWithUserTablesInCatalogueOrder() {
    Opened o;
    Window& t = o.t;
    QVERIFY(t.box->shown.empty());
    QVERIFY(t->database());
    QCOMPARE(t->Data1->DatabaseName(), std::string("/a.mdb"));
    // System objects (any bit of 0x80000002) left out; 0x1 alone is listed; catalogue order.
    QCOMPARE(Items(t->lstTabellen), QStringList({"kunden", "versteckt", "artikel"}));
    QCOMPARE(t->lstTabellen->currentRow(), 0);
    QCOMPARE(Items(t->lstFelder), QStringList({"KundeNr", "Name", "Ort"}));
    QCOMPARE(t->table_def()->Name(), std::string("kunden"));
    QCOMPARE(t->MousePointer(), 0);
  }

  void cancelIsSilentAndChangesNothing() {
    FakeEngine engine;
    engine.files["/a.mdb"] = Catalogue();
    Window t(engine);
    t.db_dialog->answers.push_back(std::nullopt);
    t->mnu_Datenbank_Click(0);  // first use, cancelled
    QVERIFY(t.box->shown.empty());
    QVERIFY(!t->database());
    t.OpenDatabase("/a.mdb");
    const auto before = t->database();
    t.db_dialog->answers.push_back(std::nullopt);
    t->mnu_Datenbank_Click(0);
    QVERIFY(t.box->shown.empty());
    QCOMPARE(t->database(), before);
    QCOMPARE(t.db_dialog->FileName(), std::string("/a.mdb"));
    QCOMPARE(t->lstTabellen->count(), 3);
  }

  void unreadableFileIsReportedAndPreviousDatabaseKept() {
    Opened o;
    Window& t = o.t;
    const auto a = t->database();
    t->lstTabellen->setCurrentRow(2);  // a user click: fields of "artikel"
    t.OpenDatabase("/kaputt.mdb");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(t.LastBox(), std::string("Ein Fehler ist aufgetreten\r\nFehlernummer: 3343\r\n"
                                      "Nicht erkanntes Datenbankformat '/kaputt.mdb'."));
    QCOMPARE(t->database(), a);
    QCOMPARE(t->Data1->DatabaseName(), std::string("/a.mdb"));
    // The dialog keeps the new path: it is now the current database path.
    QCOMPARE(t.db_dialog->FileName(), std::string("/kaputt.mdb"));
    QCOMPARE(Items(t->lstFelder), QStringList({"ArtikelNr", "Bezeichnung"}));
    // The next showing offers it again.
    t.db_dialog->answers.push_back(std::nullopt);
    t->mnu_Datenbank_Click(0);
    QCOMPARE(t.db_dialog->offered, std::string("/kaputt.mdb"));
  }

  void databaseWithoutUserTablesIsReportedButOpen() {
    FakeEngine engine;
    engine.files["/a.mdb"] = Catalogue();
    engine.files["/leer.mdb"] = {{"MSysObjects", kSystemHigh | kSystemLow, {"Id"}}};
    Window t(engine);
    t.OpenDatabase("/a.mdb");
    const auto a = t->database();
    t.OpenDatabase("/leer.mdb");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY(t.LastBox().find("Fehlernummer: 380") != std::string::npos);
    QVERIFY(t->database() != a);
    QCOMPARE(t->database()->Name(), std::string("/leer.mdb"));
    QCOMPARE(t->Data1->DatabaseName(), std::string("/leer.mdb"));
    QCOMPARE(t->lstTabellen->count(), 0);
    // The field list keeps its old content.
    QCOMPARE(Items(t->lstFelder), QStringList({"KundeNr", "Name", "Ort"}));
  }

  void openingTheSameFileAgainGivesANewHandleAndFirstTable() {
    Opened o;
    Window& t = o.t;
    std::weak_ptr<db::Database> first = t->database();
    t->lstTabellen->setCurrentRow(2);
    QCOMPARE(Items(t->lstFelder), QStringList({"ArtikelNr", "Bezeichnung"}));
    t.OpenDatabase("/a.mdb");
    QVERIFY(first.expired());  // the old handle was released
    QCOMPARE(t->lstTabellen->currentRow(), 0);
    QCOMPARE(Items(t->lstFelder), QStringList({"KundeNr", "Name", "Ort"}));
    QCOMPARE(o.engine.opens, 2);
  }

  void tableWithoutFieldsGivesEmptyFieldList() {
    FakeEngine engine;
    engine.files["/a.mdb"] = {{"leer", 0, {}}, {"b", 0, {"x"}}};
    Window t(engine);
    t.OpenDatabase("/a.mdb");
    QVERIFY(t.box->shown.empty());
    QCOMPARE(t->lstFelder->count(), 0);
  }

  void failingUserClickIsReported() {
    Opened o;
    Window& t = o.t;
    t->lstTabellen->addItem("verschwunden");
    t->lstTabellen->setCurrentRow(3);
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY(t.LastBox().find("Fehlernummer: 3265") != std::string::npos);
    QCOMPARE(t->lstFelder->count(), 0);  // cleared before the lookup failed
  }

  void clickWithoutDatabaseFailsAtFirstUseOfDb() {
    Window t;
    try {
      t->lstTabellen_Click();
      QFAIL("no error");
    } catch (const jet::Error& e) {
      QCOMPARE(e.number(), jet::err::kObjectNotSet);
    }
  }

  // A real file: the user tables as mdbtools lists them, in catalogue order.
  void realSampleListsUserTables() {
    OPEN_SAMPLE_COPY(t, "jet4/testV2000.mdb");
    QVERIFY2(t.box->shown.empty(), t.LastBox().c_str());
    QVERIFY(t->lstTabellen->count() > 0);
    for (const QString& name : Items(t->lstTabellen)) QVERIFY(!name.startsWith("MSys"));
    if (!QStandardPaths::findExecutable("mdb-tables").isEmpty()) {
      QProcess p;
      p.start("mdb-tables", {"-1", QString::fromStdString(path)});
      QVERIFY(p.waitForFinished());
      QStringList oracle =
          QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
      QStringList ours = Items(t->lstTabellen);
      oracle.sort();
      ours.sort();
      QCOMPARE(ours, oracle);
    }
    QVERIFY(t->lstFelder->count() > 0);
  }
};

QTEST_MAIN(OpenDatabaseTest)
#include "open_database_test.moc"
