// Every registered function called with hostile arguments: extreme numbers, wrong types, wrong
// type codes, malformed text. Each call must give a value or a numbered error, never crash, hang
// or fail some other way.

#include <random>

#include "jetsql/functions/registry.h"
#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class FunctionsHostileTest : public SqlFixture {};

// clang-format off
constexpr const char* kValues[] = {
    "NULL", "0", "-1", "1", "2147483647", "-2147483648", "9223372036854775807",
    "-9223372036854775808", "1e308", "-1e308", "0.5", "-2.5", "1e-320", "'abc'", "''", "'1,5'",
    "'['", "'*a*[!'", "'31.12.2023 23:59'", "'yyyy'", "'Currency'", "'0;(0);\"z\";\"n\"'",
    "'dddd, d. mmmm yyyy ttttt'", "x'00ff'", "'{00000001-0000-0000-0000-000000000000}'",
    "'12345678901234567890.123456789'", "'&HFFFFFFFF'", "'@@@-@'", "'ww'", "100000",
    "'#,##0.00E+00%'",
};
// clang-format on
constexpr int kCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 16, 99, -5};

TEST_F(FunctionsHostileTest, EveryCallEndsInAValueOrANumberedError) {
  std::mt19937 rng(4711);
  auto value = [&] { return std::string(kValues[rng() % std::size(kValues)]); };
  auto code = [&] { return std::to_string(kCodes[rng() % std::size(kCodes)]); };
  int calls = 0;
  for (const JetFunctionSpec& spec : kJetFunctions) {
    if (spec.aggregate) continue;
    for (int round = 0; round < 150; ++round) {
      std::string call = std::string(spec.name) + "(";
      for (int i = 0; i < spec.arity; ++i) {
        if (i) call += ", ";
        call += (i % 2 == 0) ? value() : code();
      }
      call += ")";
      std::string result = Eval(call);
      ++calls;
      if (result.rfind("error: ", 0) == 0) {
        EXPECT_EQ(result.rfind("error: jet:", 0), 0u) << call << " -> " << result;
      }
      EXPECT_NE(result.rfind("prepare:", 0), 0u) << call << " -> " << result;
    }
  }
  EXPECT_GT(calls, 5000);
}

TEST_F(FunctionsHostileTest, AggregatesOverMixedValues) {
  Exec("CREATE TABLE m(x)");
  std::string insert = "INSERT INTO m VALUES ";
  for (size_t i = 0; i < std::size(kValues); ++i) {
    insert += std::string(i ? ", (" : "(") + kValues[i] + ")";
  }
  Exec(insert);
  for (const JetFunctionSpec& spec : kJetFunctions) {
    if (!spec.aggregate) continue;
    for (int c : kCodes) {
      std::string call =
          "SELECT " + std::string(spec.name) + "(x, " + std::to_string(c) + ") FROM m";
      std::string result = Eval(call);
      if (result.rfind("error: ", 0) == 0) {
        EXPECT_EQ(result.rfind("error: jet:", 0), 0u) << call << " -> " << result;
      }
    }
  }
}

}  // namespace
}  // namespace jetsql::testing
