// Stopping a statement while it runs: the check is asked as the statement works (false answers
// let it go on), a true answer ends it with 3059, an exception from the check comes out unchanged,
// and the session (and the file) stay usable afterwards.

#include <gtest/gtest.h>

#include <string>

#include "jet/error.h"
#include "jetsql/session.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace jetsql {
namespace {

const std::string kOrders = testsupport::SamplePath("bench/orders-100k.mdb");

// A statement that reads for a long while: every order against every article.
constexpr const char* kLong =
    "SELECT Count(*) FROM orders, artikel WHERE orders.Menge + artikel.Bestand > 0";

class CancelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    session_ = std::make_unique<Session>(kOrders);
  }
  std::unique_ptr<Session> session_;
};

TEST_F(CancelTest, TheCheckStopsTheStatementOrPassesItsError) {
  // A true answer stops the statement with 3059; the session goes on.
  int asked = 0;
  session_->SetCancelCheck([&asked] { return ++asked == 3; });
  try {
    session_->Query(kLong);
    FAIL() << "the statement ran to its end";
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3059);
  }
  EXPECT_EQ(asked, 3);
  // The same session answers the next statement in full.
  session_->SetCancelCheck(nullptr);
  RecordSet rs = session_->Query("SELECT Count(*) FROM artikel");
  ASSERT_EQ(rs.rows.size(), 1u);
  EXPECT_EQ(rs.rows[0][0], jet::Value(int32_t{25}));
  // An error of the check comes out of the statement.
  session_->SetCancelCheck([]() -> bool { throw jet::Error(7, "Nicht genügend Speicher."); });
  try {
    session_->Query(kLong);
    FAIL() << "the statement ran to its end";
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 7);
  }
}

TEST_F(CancelTest, AStoppedChangeLeavesTheFileAsItWas) {
  testsupport::TempDir dir;
  const std::string copy = dir.File("orders.mdb");
  testsupport::CopySample("bench/orders-100k.mdb", copy);
  {
    Session writer(copy, Session::Mode::kReadWrite);
    writer.SetCancelCheck([] { return true; });
    try {
      writer.Execute("UPDATE orders SET Menge = Menge + 1");
      FAIL() << "the statement ran to its end";
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.number(), 3059);
    }
  }
  Session reader(copy);
  RecordSet changed = reader.Query("SELECT Sum(Menge) FROM orders");
  RecordSet original = session_->Query("SELECT Sum(Menge) FROM orders");
  EXPECT_EQ(changed.rows, original.rows);
}

}  // namespace
}  // namespace jetsql
