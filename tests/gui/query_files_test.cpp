// "Abfrage" -> "laden" / "speichern": the written form, reading line by line,
// code pages and line endings, and silence on every failure.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "gui/support/window_fixture.h"

using testing_gui::Window;

namespace {
QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

void Load(Window& t, const QString& path) {
  t.query_dialog->answers.push_back(path.toStdString());
  t->mnu_Abfrage_Click(0);
}

void Save(Window& t, const QString& path) {
  t.query_dialog->answers.push_back(path.toStdString());
  t->mnu_Abfrage_Click(1);
}
}  // namespace

class QueryFilesTest : public QObject {
  Q_OBJECT

 private slots:
  // Every line read ends in CR LF, the last one too; CR or LF alone end a line as well. The line
  // buffer keeps the last line read.
  void loadingEndsEveryLineWithCrLf() {
    struct Case {
      QByteArray bytes;
      QString text, last_line;
    };
    const Case cases[] = {{"A\r\nB\r\nC", "A\r\nB\r\nC\r\n", "C"},
                          {"select *\nfrom a\n", "select *\r\nfrom a\r\n", "from a"},
                          {"x\ry", "x\r\ny\r\n", "y"},
                          {"", "", "y"}};
    QTemporaryDir dir;
    Window t;
    for (const Case& c : cases) {
      Put(dir.filePath("q.sql"), c.bytes);
      Load(t, dir.filePath("q.sql"));
      QCOMPARE(t->txtSQL->Text(), c.text);
      QCOMPARE(t->line_buffer(), c.last_line);
    }
  }

  void eachSaveAndLoadCycleAddsOneLineBreak() {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.sql");
    Window t;
    Save(t, path);
    Load(t, path);
    QCOMPARE(t->txtSQL->Text(), QString("select * from artikel\r\n"));
    Save(t, path);
    QCOMPARE(Bytes(path), QByteArray("select * from artikel\r\n\r\n"));
    Load(t, path);
    QCOMPARE(t->txtSQL->Text(), QString("select * from artikel\r\n\r\n"));
  }

  void codePages() {
    QTemporaryDir dir;
    Window t;
    // Windows-1252 when every character fits (ä is one byte, € is 0x80) ...
    t->txtSQL->SetText(QString::fromUtf8("select Größe, '€' from Maße"));
    Save(t, dir.filePath("w.sql"));
    QCOMPARE(Bytes(dir.filePath("w.sql")), QByteArray("select Gr\xf6\xdf"
                                                      "e, '\x80' from Ma\xdf"
                                                      "e\r\n"));
    Load(t, dir.filePath("w.sql"));
    QCOMPARE(t->txtSQL->Text(), QString::fromUtf8("select Größe, '€' from Maße\r\n"));
    // ... UTF-8 when one does not, and it reads back unchanged.
    t->txtSQL->SetText(QString::fromUtf8("select 'Łódź', 'αβγ'"));
    Save(t, dir.filePath("u.sql"));
    QCOMPARE(Bytes(dir.filePath("u.sql")), QByteArray("select '\xc5\x81\xc3\xb3"
                                                      "d\xc5\xba', "
                                                      "'\xce\xb1\xce\xb2\xce\xb3'\r\n"));
    Load(t, dir.filePath("u.sql"));
    QCOMPARE(t->txtSQL->Text(), QString::fromUtf8("select 'Łódź', 'αβγ'\r\n"));
  }

  void afterASaveTheLoadDialogOffersThatName() {
    QTemporaryDir dir;
    Window t;
    Save(t, dir.filePath("gespeichert.sql"));
    t.query_dialog->answers.push_back(std::nullopt);
    t->mnu_Abfrage_Click(0);
    QCOMPARE(t.query_dialog->offered, dir.filePath("gespeichert.sql").toStdString());
  }

  // Cancelling (also at first use) changes nothing; a file that cannot be read ends the load
  // with an empty editor, one that cannot be written is skipped; no failure is reported.
  void cancelAndFailuresAreSilent() {
    QTemporaryDir dir;
    Window t;
    t.query_dialog->answers.push_back(std::nullopt);
    t->mnu_Abfrage_Click(0);
    t.query_dialog->answers.push_back(std::nullopt);
    t->mnu_Abfrage_Click(1);
    QCOMPARE(t->txtSQL->Text(), QString("select * from artikel"));
    QVERIFY(t->line_buffer().isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    Save(t, dir.filePath("kein/ordner/a.sql"));
    QVERIFY(!QFile::exists(dir.filePath("kein/ordner/a.sql")));
    Load(t, dir.filePath("fehlt.sql"));
    QCOMPARE(t->txtSQL->Text(), QString());
    Load(t, dir.path());  // a folder
    QCOMPARE(t->txtSQL->Text(), QString());
    QVERIFY(t.box->shown.empty());
  }

  void existingFileIsReplaced() {
    QTemporaryDir dir;
    Put(dir.filePath("a.sql"), "ein viel längerer alter Inhalt\r\nzweite Zeile\r\n");
    Window t;
    t->txtSQL->SetText("x");
    Save(t, dir.filePath("a.sql"));
    QCOMPARE(Bytes(dir.filePath("a.sql")), QByteArray("x\r\n"));
  }
};

QTEST_MAIN(QueryFilesTest)
#include "query_files_test.moc"
