// The result grid: formatting by type, the header row, counts, and a large result served on
// demand.

#include <QTest>

#include "jetsql/regional_settings.h"
#include "query/flex_grid.h"
#include "query/statement.h"
#include "query/value_text.h"

namespace {
QString Text(const jet::Value& v) {
  return query::ValueText(v);
}
}  // namespace

class GridTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { jetsql::SetRegional(jetsql::RegionalSettings::German()); }
  void cleanup() { jetsql::SetRegional(jetsql::RegionalSettings::German()); }

  void datesAndTimes() {
    QCOMPARE(Text(jet::DateTime{36526.0}), QString("01.01.2000"));  // 2000-01-01, date only
    QCOMPARE(Text(jet::DateTime{0.75}), QString("18:00:00"));       // time only
    QCOMPARE(Text(jet::DateTime{36526.5}), QString("01.01.2000 12:00:00"));
    // Before the epoch the fraction is still the time of day.
    QCOMPARE(Text(jet::DateTime{-1.25}), QString("29.12.1899 06:00:00"));
    // Rounding to the second can carry into the next day.
    QCOMPARE(Text(jet::DateTime{36526.0 - 1e-7}), QString("01.01.2000"));
  }

  void numbersInTheLocale() {
    QCOMPARE(Text(uint8_t{200}), QString("200"));
    QCOMPARE(Text(int16_t{-5}), QString("-5"));
    QCOMPARE(Text(int32_t{1234567}), QString("1234567"));
    QCOMPARE(Text(1234.5), QString("1234,5"));
    QCOMPARE(Text(2.5), QString("2,5"));
    QCOMPARE(Text(0.1f), QString("0,1"));
    QCOMPARE(Text(jet::Currency{12345678}), QString("1.234,57 €"));
    QCOMPARE(Text(jet::Currency{12345000}), QString("1.234,50 €"));
    QCOMPARE(Text(jet::Currency{-5}), QString("-0,00 €"));
    QCOMPARE(Text(jet::Currency{-50}), QString("-0,01 €"));
    jet::Decimal d;
    d.mantissa = 12345;
    d.scale = 3;
    d.negative = true;
    QCOMPARE(Text(d), QString("-12,345"));
    d.mantissa = 5;
    d.scale = 2;
    d.negative = false;
    QCOMPARE(Text(d), QString("0,05"));
  }

  void otherTypes() {
    QCOMPARE(Text(true), QString("Wahr"));
    QCOMPARE(Text(false), QString("Falsch"));
    QCOMPARE(Text(std::monostate{}), QString());
    QCOMPARE(Text(std::string("Zeile 1\r\nZeile 2\nZeile 3")), QString("Zeile 1 Zeile 2 Zeile 3"));
    QCOMPARE(Text(jet::Bytes(1500, 0)), QString("<Binärdaten, 1500 Bytes>"));
    jet::Guid g{};
    for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(i);
    QCOMPARE(Text(g), QString("{03020100-0504-0706-0809-0A0B0C0D0E0F}"));
  }

  void englishUsSettings() {
    jetsql::SetRegional(jetsql::RegionalSettings::EnglishUs());
    QCOMPARE(Text(jet::DateTime{36526.5}), QString("1/1/2000 12:00:00 PM"));
    QCOMPARE(Text(jet::DateTime{42920.0}), QString("7/4/2017"));
    QCOMPARE(Text(1234.5), QString("1234.5"));
    QCOMPARE(Text(jet::Currency{12345678}), QString("$1,234.57"));
    QCOMPARE(Text(jet::Currency{-50}), QString("($0.01)"));
    QCOMPARE(Text(true), QString("True"));
    QCOMPARE(Text(false), QString("False"));
  }

  void headerRowAndCounts() {
    query::FlexGrid grid;
    jetsql::RecordSet rs;
    rs.field_names = {"Nr", "Name"};
    rs.field_types = {jet::ColumnType::kLong, jet::ColumnType::kText};
    rs.rows = {{int32_t{1}, std::string("a")}, {std::monostate{}, std::string("b")}};
    grid.model_data().SetResult(rs);
    QCOMPARE(grid.Rows(), 3);
    QCOMPARE(grid.Cols(), 3);
    QCOMPARE(grid.TextMatrix(0, 1), QString("Nr"));
    QCOMPARE(grid.TextMatrix(0, 2), QString("Name"));
    QCOMPARE(grid.TextMatrix(2, 1), QString());
    QCOMPARE(grid.TextMatrix(2, 2), QString("b"));
    QCOMPARE(query::SizeCaption(grid.Rows(), grid.Cols()), std::string(" 2  x  2"));
  }

  void millionRowsAreServedOnDemand() {
    query::FlexGrid grid;
    grid.resize(400, 300);
    jetsql::RecordSet rs;
    rs.field_names = {"n"};
    rs.field_types = {jet::ColumnType::kLong};
    constexpr int kRows = 1000000;
    rs.rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) rs.rows.push_back({int32_t{i}});
    grid.model_data().SetResult(std::move(rs));
    grid.show();
    QCOMPARE(grid.Rows(), kRows + 1);
    grid.scrollToBottom();
    QCOMPARE(grid.TextMatrix(kRows, 1), QString::number(kRows - 1));
  }

  void rowReturningTestLooksAtSixCharactersOnly() {
    QVERIFY(query::IsRowReturning("select"));
    QVERIFY(query::IsRowReturning("SELECTx"));
    QVERIFY(!query::IsRowReturning("selec"));
    QVERIFY(!query::IsRowReturning(" select"));
    QVERIFY(!query::IsRowReturning(""));
    QCOMPARE(query::PreviewStatement("a]b"), std::string("select * from [a]b]"));
  }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
