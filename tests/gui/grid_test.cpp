// The result grid: formatting by type, alignment by type, and how each new result starts: at the
// top-left cell, with columns sized afresh.

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "jetsql/regional_settings.h"
#include "query/flex_grid.h"
#include "query/value_text.h"

namespace {
QString Text(const jet::Value& v) {
  return query::ValueText(v);
}

// `cols` Long columns c0, c1, ... of `rows` records.
jetsql::RecordSet Numbers(int cols, int rows) {
  std::vector<std::string> names;
  for (int c = 0; c < cols; ++c) names.push_back("c" + std::to_string(c));
  jetsql::RecordSet rs;
  rs.field_names = names;
  rs.field_types.assign(names.size(), jet::ColumnType::kLong);
  for (int r = 0; r < rows; ++r) {
    rs.rows.emplace_back();
    for (int c = 0; c < cols; ++c) rs.rows.back().emplace_back(int32_t{r * 1000 + c});
  }
  return rs;
}

int Advance(const query::FlexGrid& grid, const QString& text) {
  return grid.fontMetrics().horizontalAdvance(text);
}
}  // namespace

class GridTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { jetsql::SetRegional(jetsql::RegionalSettings::German()); }
  void cleanup() { jetsql::SetRegional(jetsql::RegionalSettings::German()); }

  void valuesAsTheGridShowsThem() {
    // Dates and times.
    QCOMPARE(Text(jet::DateTime{36526.0}), QString("01.01.2000"));  // 2000-01-01, date only
    QCOMPARE(Text(jet::DateTime{0.75}), QString("18:00:00"));       // time only
    QCOMPARE(Text(jet::DateTime{36526.5}), QString("01.01.2000 12:00:00"));
    // Before the epoch the fraction is still the time of day.
    QCOMPARE(Text(jet::DateTime{-1.25}), QString("29.12.1899 06:00:00"));
    // Rounding to the second can carry into the next day.
    QCOMPARE(Text(jet::DateTime{36526.0 - 1e-7}), QString("01.01.2000"));
    // Numbers in the locale.
    QCOMPARE(Text(int16_t{-5}), QString("-5"));
    QCOMPARE(Text(int32_t{1234567}), QString("1234567"));
    QCOMPARE(Text(1234.5), QString("1234,5"));
    QCOMPARE(Text(0.1f), QString("0,1"));
    QCOMPARE(Text(jet::Currency{12345678}), QString("1.234,57 €"));
    QCOMPARE(Text(jet::Currency{-5}), QString("-0,00 €"));
    QCOMPARE(Text(jet::Currency{-50}), QString("-0,01 €"));
    jet::Decimal d;
    d.mantissa = 12345;
    d.scale = 3;
    d.negative = true;
    QCOMPARE(Text(d), QString("-12,345"));
    // Other types.
    QCOMPARE(Text(true), QString("Wahr"));
    QCOMPARE(Text(false), QString("Falsch"));
    QCOMPARE(Text(std::monostate{}), QString());
    QCOMPARE(Text(std::string("Zeile 1\r\nZeile 2\nZeile 3")), QString("Zeile 1 Zeile 2 Zeile 3"));
    QCOMPARE(Text(jet::Bytes(1500, 0)), QString("<Binärdaten, 1500 Bytes>"));
    jet::Guid g{};
    for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(i);
    QCOMPARE(Text(g), QString("{03020100-0504-0706-0809-0A0B0C0D0E0F}"));
    // English (US) settings.
    jetsql::SetRegional(jetsql::RegionalSettings::EnglishUs());
    QCOMPARE(Text(jet::DateTime{36526.5}), QString("1/1/2000 12:00:00 PM"));
    QCOMPARE(Text(1234.5), QString("1234.5"));
    QCOMPARE(Text(jet::Currency{12345678}), QString("$1,234.57"));
    QCOMPARE(Text(jet::Currency{-50}), QString("($0.01)"));
    QCOMPARE(Text(true), QString("True"));
  }

  void numbersCurrencyAndDatesAlignRightTextLeft() {
    query::FlexGrid grid;
    jetsql::RecordSet rs;
    using T = jet::ColumnType;
    rs.field_types = {T::kByte,     T::kInteger, T::kLong,     T::kSingle, T::kDouble,
                      T::kCurrency, T::kNumeric, T::kDateTime, T::kText,   T::kMemo,
                      T::kBoolean,  T::kGuid,    T::kBinary};
    rs.field_names.assign(rs.field_types.size(), "f");
    rs.rows.emplace_back(rs.field_types.size(), std::monostate{});
    grid.ShowResult(std::move(rs));
    const auto horizontal = [&grid](int col) {
      const QModelIndex i = grid.model()->index(0, col);
      return Qt::Alignment(grid.model()->data(i, Qt::TextAlignmentRole).toInt()) &
             Qt::AlignHorizontal_Mask;
    };
    for (int col = 0; col <= 7; ++col) QCOMPARE(horizontal(col), Qt::AlignRight);
    for (int col = 8; col <= 12; ++col) QCOMPARE(horizontal(col), Qt::AlignLeft);
  }

  void newResultStartsAtTheFirstCellScrolledToTheTopLeft() {
    query::FlexGrid grid;
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.ShowResult(Numbers(30, 2000));
    QCOMPARE(grid.currentIndex(), grid.model()->index(0, 0));
    // The user wanders off to the bottom right.
    grid.setCurrentIndex(grid.model()->index(1500, 25));
    grid.scrollTo(grid.currentIndex());
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    QVERIFY(grid.horizontalScrollBar()->value() > 0);
    for (int round = 0; round < 2; ++round) {
      // The same result again, then a smaller one: both start over.
      grid.ShowResult(round == 0 ? Numbers(30, 2000) : Numbers(3, 10));
      QCOMPARE(grid.verticalScrollBar()->value(), 0);
      QCOMPARE(grid.horizontalScrollBar()->value(), 0);
      QCOMPARE(grid.rowAt(0), 0);
      QCOMPARE(grid.columnAt(0), 0);
      QCOMPARE(grid.currentIndex(), grid.model()->index(0, 0));
    }
    grid.ShowResult(Numbers(3, 0));  // no records: no current cell
    QVERIFY(!grid.currentIndex().isValid());
  }

  void columnsFitHeaderAndFirstRecordsWithinABound() {
    query::FlexGrid grid;
    grid.resize(600, 300);
    jetsql::RecordSet rs;
    rs.field_names = {"Ein recht langer Feldname", "Name", "Spät", "Bemerkung"};
    rs.field_types = {jet::ColumnType::kLong, jet::ColumnType::kText, jet::ColumnType::kText,
                      jet::ColumnType::kMemo};
    const std::string memo(3000, 'm');
    const std::string late = "erst weit hinten kommt ein langer Wert";
    for (int r = 0; r < 20000; ++r) {
      rs.rows.push_back({int32_t{r}, std::string(r == 3 ? "Ein langer Name" : "kurz"),
                         std::string(r == 15000 ? late : "x"), std::string(r == 0 ? memo : "")});
    }
    grid.ShowResult(rs);
    QHeaderView* h = grid.horizontalHeader();
    QVERIFY(h->sectionSize(0) >= Advance(grid, "Ein recht langer Feldname"));
    QVERIFY(h->sectionSize(1) >= Advance(grid, "Ein langer Name"));
    // A record far down is not read to size the column.
    QVERIFY(h->sectionSize(2) < Advance(grid, QString::fromStdString(late)));
    // One long memo does not push the other columns away.
    QVERIFY(h->sectionSize(3) < grid.viewport()->width());
    QVERIFY(h->sectionSize(3) >= Advance(grid, "Bemerkung"));

    // Widths set by hand last until the next result.
    const int fitted = h->sectionSize(1);
    h->resizeSection(0, 5);
    h->resizeSection(1, 400);
    grid.ShowResult(rs);
    QVERIFY(h->sectionSize(0) >= Advance(grid, "Ein recht langer Feldname"));
    QCOMPARE(h->sectionSize(1), fitted);
  }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
