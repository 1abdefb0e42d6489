// The added VBA functions in real statements on a sample file: String forms ("Left$"), the
// conversions and named formats on stored values, and the regional settings in CStr and &.
// Article 1 of orders-100k.mdb is "Schraube M4", 202,68, 1735 in stock, created 2017-07-04.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "jet/error.h"
#include "jetsql/regional_settings.h"
#include "jetsql/session.h"

namespace jetsql {
namespace {

const std::string kOrders = std::string(QUORLA_SAMPLES_DIR) + "/bench/orders-100k.mdb";

class VbaFunctionsSamplesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kOrders)) GTEST_SKIP() << "sample folder missing: " << kOrders;
    SetRegional(RegionalSettings::German());
    session_ = std::make_unique<Session>(kOrders);
  }
  void TearDown() override { SetRegional(RegionalSettings::German()); }

  // The fields of article 1 for the given select list, as text.
  std::vector<std::string> Article1(const std::string& fields) {
    RecordSet rs = session_->Query("SELECT " + fields + " FROM artikel WHERE ArtikelNr = 1");
    EXPECT_EQ(rs.rows.size(), 1u);
    std::vector<std::string> out;
    if (rs.rows.empty()) return out;
    for (const jet::Value& v : rs.rows[0]) {
      if (const auto* s = std::get_if<std::string>(&v)) {
        out.push_back(*s);
      } else if (const auto* i = std::get_if<int16_t>(&v)) {
        out.push_back(std::to_string(*i));
      } else if (const auto* l = std::get_if<int32_t>(&v)) {
        out.push_back(std::to_string(*l));
      } else if (const auto* b = std::get_if<bool>(&v)) {
        out.push_back(*b ? "True" : "False");
      } else {
        out.push_back(jet::IsNull(v) ? "Null" : "?");
      }
    }
    return out;
  }
  int ErrorOf(const std::string& sql) {
    try {
      session_->Query(sql);
    } catch (const jet::Error& e) {
      return e.number();
    }
    return 0;
  }

  std::unique_ptr<Session> session_;
};

TEST_F(VbaFunctionsSamplesTest, NewFunctionsOnStoredValues) {
  EXPECT_EQ(Article1("Hex$(ArtikelNr + 254), Left$(Bezeichnung, 8), StrConv(Bezeichnung, 1), "
                     "Partition(Bestand, 0, 2000, 100), ChrW(8364) & Oct(8), AscW(Bezeichnung)"),
            (std::vector<std::string>{"FF", "Schraube", "SCHRAUBE M4", "1700:1799", "€10", "83"}));
  EXPECT_EQ(Article1("FormatCurrency(Preis), FormatNumber(Preis * 10, 1), FormatPercent(0.5, 0), "
                     "FormatDateTime(Angelegt, 1), Format$(Angelegt, 'Short Date')"),
            (std::vector<std::string>{"202,68 €", "2.026,8", "50%", "Dienstag, 4. Juli 2017",
                                      "04.07.2017"}));
  EXPECT_EQ(Article1("VarType(Preis), TypeName(Aktiv), TypeName(Angelegt), VarType(Bezeichnung), "
                     "CVar(ArtikelNr), IsEmpty(Beschreibung), TypeName(Null)"),
            (std::vector<std::string>{"6", "Boolean", "Date", "8", "1", "False", "Null"}));
  EXPECT_EQ(ErrorOf("SELECT Left$(Null, 1) FROM artikel"), 94);
  EXPECT_EQ(ErrorOf("SELECT StrConv(Bezeichnung, 16) FROM artikel"), 5);
}

TEST_F(VbaFunctionsSamplesTest, ConversionsFollowTheRegionalSettings) {
  EXPECT_EQ(Article1("CStr(Angelegt), Preis & '', CStr(Aktiv), CDate('4.7.2017') = Angelegt"),
            (std::vector<std::string>{"04.07.2017", "202,68", "Falsch", "True"}));
  SetRegional(RegionalSettings::EnglishUs());
  EXPECT_EQ(Article1("CStr(Angelegt), Preis & '', CStr(Aktiv), CDate('7/4/2017') = Angelegt, "
                     "FormatCurrency(Preis)"),
            (std::vector<std::string>{"7/4/2017", "202.68", "False", "True", "$202.68"}));
  // Date literals keep Jet's month/day/year reading in every setting.
  EXPECT_EQ(Article1("Angelegt = #7/4/2017#"), (std::vector<std::string>{"True"}));
  SetRegional(RegionalSettings::German());
  EXPECT_EQ(Article1("Angelegt = #7/4/2017#"), (std::vector<std::string>{"True"}));
}

}  // namespace
}  // namespace jetsql
