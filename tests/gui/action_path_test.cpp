// "Abfrage" on action statements against a real file made by the engine itself (a new database
// from jet::CreateDatabase): the table list follows CREATE and DROP TABLE, a failed statement
// changes neither the file nor the window, and dropping the last user table ends in the list's
// error report.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "gui/support/window_fixture.h"
#include "jet/database_creator.h"

using testing_gui::Window;

namespace {

QStringList Items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

QByteArray Bytes(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// Runs `sql` through "Abfrage".
void Run(Window& t, const char* sql) {
  t->txtSQL->SetText(QString::fromUtf8(sql));
  t->cmdQuery_Click();
}

}  // namespace

class ActionPathTest : public QObject {
  Q_OBJECT

 private slots:
  void createFailAndDropOnANewDatabase() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("neu.mdb").toStdString();
    jet::CreateDatabase(path);
    Window t;
    t.OpenDatabase(path);  // no user table yet: the list's report
    QCOMPARE(t.box->shown.size(), size_t{1});
    QVERIFY(t.LastBox().find("Fehlernummer: 380") != std::string::npos);
    QCOMPARE(t->lstTabellen->count(), 0);

    Run(t, "create table Lager (Nr long primary key, Ort text(30), Menge long)");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(Items(t->lstTabellen), QStringList{"Lager"});
    QCOMPARE(Items(t->lstFelder), (QStringList{"Nr", "Ort", "Menge"}));

    Run(t, "create table Äpfel (Sorte text(20))");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(Items(t->lstTabellen).size(), 2);
    QVERIFY(Items(t->lstTabellen).contains("Äpfel"));
    QCOMPARE(t->lstTabellen->currentRow(), 0);

    Run(t, "insert into Lager values (1, 'Köln', 12)");
    Run(t, "select * from Lager");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(t->lblGridSize->text(), QString(" 1  x  3"));
    QCOMPARE(t->fgridQuery->TextMatrix(1, 2), QString("Köln"));

    // Failed statements are reported and change neither the file nor the window.
    t->lstTabellen->setCurrentRow(1);
    const QByteArray file = Bytes(path);
    const QStringList tables = Items(t->lstTabellen);
    const QStringList fields = Items(t->lstFelder);
    const auto handle = t->database();
    for (const char* sql :
         {"insert into Lager values (1, 'doppelt', 1)", "insert into Lager (Ort) values ('x')",
          "create table Äpfel (x long)", "drop table Fehlt", "update Lager set Nr = Null",
          "create table (x long)"}) {
      Run(t, sql);
      QCOMPARE(t.box->shown.size(), size_t{2});
      QCOMPARE(t.box->shown.back().pointer_when_shown, 0);
      t.box->shown.pop_back();
      QVERIFY2(Bytes(path) == file, sql);
      QCOMPARE(Items(t->lstTabellen), tables);
      QCOMPARE(t->lstTabellen->currentRow(), 1);
      QCOMPARE(Items(t->lstFelder), fields);
      QCOMPARE(t->lblGridSize->text(), QString(" 1  x  3"));
      QCOMPARE(t->fgridQuery->TextMatrix(1, 2), QString("Köln"));
      QCOMPARE(t->database(), handle);
      QCOMPARE(t->MousePointer(), 0);
    }

    Run(t, "drop table Äpfel");
    QCOMPARE(t.box->shown.size(), size_t{1});
    QCOMPARE(Items(t->lstTabellen), QStringList{"Lager"});
    Run(t, "drop table Lager");  // the last one: reopened, and the list reports it is empty
    QCOMPARE(t.box->shown.size(), size_t{2});
    QVERIFY(t.LastBox().find("Fehlernummer: 380") != std::string::npos);
    QCOMPARE(t.box->shown[1].pointer_when_shown, 0);
    QCOMPARE(t->lstTabellen->count(), 0);
    QCOMPARE(t->MousePointer(), 0);
    QCOMPARE(t->database()->Name(), path);
  }
};

QTEST_MAIN(ActionPathTest)
#include "action_path_test.moc"
