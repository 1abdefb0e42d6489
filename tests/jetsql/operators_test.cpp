// Access's operators: arithmetic in the binder's result type, Null rules, text joins, errors.

#include "jetsql/functions/registry.h"
#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class OperatorsTest : public SqlFixture {};

TEST_F(OperatorsTest, OperatorsAndCasts) {
  // Every registry entry is registered.
  for (const JetFunctionSpec& spec : kJetFunctions) {
    std::string sql = std::string("SELECT count(*) FROM pragma_function_list WHERE name = '") +
                      spec.name + "' AND narg = " + std::to_string(spec.arity);
    EXPECT_EQ(Eval(sql), "1") << spec.name;
  }
  // Integer arithmetic overflows instead of wrapping.
  EXPECT_EQ(Eval("jet_op_add(2147483647, 4, 1, 4, 4)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_sub(-2147483648, 4, 1, 4, 4)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_mul(65536, 4, 32768, 4, 4)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_neg(-2147483648, 4, 4)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_neg(200, 2, 2)"), "-200");  // Byte negates to Integer
  // Division by zero and integer division.
  EXPECT_EQ(Eval("jet_op_div(1, 4, 0, 4, 7)"), "error: jet:11:Division durch Null");
  EXPECT_EQ(Eval("jet_op_div(0, 4, 0, 4, 7)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_div(7, 4, 2, 4, 7)"), "3.5");
  // \ and Mod round both operands half to even first: 7.5 -> 8, 2.5 -> 2.
  EXPECT_EQ(Eval("jet_op_intdiv(7.5, 7, 2.5, 7, 4)"), "4");
  EXPECT_EQ(Eval("jet_op_intdiv(-7, 4, 2, 4, 4)"), "-3");
  EXPECT_EQ(Eval("jet_op_mod(-7, 4, 3, 4, 4)"), "-1");
  EXPECT_EQ(Eval("jet_op_mod(5, 4, 0.4, 7, 4)"), "error: jet:11:Division durch Null");
  EXPECT_EQ(Eval("jet_op_pow(-8, 4, 0.5, 7, 7)"),
            "error: jet:5:Ungültiger Prozeduraufruf oder ungültiges Argument");
  // Currency stays exact.
  // 0.1 + 0.2 in Currency is exactly 0.3 (3000 ten-thousandths).
  EXPECT_EQ(Eval("jet_op_add(1000, 5, 2000, 5, 5)"), "3000");
  // 1.5 * 3 (Long) = 4.5; 0.0001 * 0.5 rounds half to even to 0.0000 (Currency x Currency).
  EXPECT_EQ(Eval("jet_op_mul(15000, 5, 3, 4, 5)"), "45000");
  EXPECT_EQ(Eval("jet_op_mul(1, 5, 5000, 5, 5)"), "0");
  EXPECT_EQ(Eval("jet_op_mul(3, 5, 5000, 5, 5)"), "2");
  EXPECT_EQ(Eval("jet_op_add(9223372036854775807, 5, 1, 5, 5)"), "error: jet:6:Überlauf");
  // Decimal arithmetic is exact.
  EXPECT_EQ(Eval("jet_op_add('0.1', 16, '0.2', 16, 16)"), "0.3");
  EXPECT_EQ(Eval("jet_op_mul('1.25', 16, '-4', 16, 16)"), "-5.00");
  EXPECT_EQ(Eval("jet_op_sub('1', 16, 15000, 5, 16)"), "-0.5000");
  // 28 digits before the point cannot take 28 more after it.
  EXPECT_EQ(Eval("jet_op_add('9999999999999999999999999999', 16, "
                 "'0.0000000000000000000000000001', 16, 16)"),
            "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_op_cmp('9999999999999999999999999999', 16, "
                 "'0.0000000000000000000000000001', 16)"),
            "1");
  // Dates add in days.
  // #2023-03-14# + 1.25 = 2023-03-15 06:00.
  EXPECT_EQ(Eval("jet_op_add(44999.0, 8, 1.25, 7, 8)"), "45000.25");
  EXPECT_EQ(Eval("jet_op_sub(45000.5, 8, 44999.0, 8, 7)"), "1.5");
  // Across 1899-12-30: day 0 minus 6 hours is 1899-12-29 18:00, stored as -1.75.
  EXPECT_EQ(Eval("jet_op_sub(0.0, 8, 0.25, 7, 8)"), "-1.75");
  // Plus joins text and propagates Null.
  EXPECT_EQ(Eval("jet_op_add('ab', 10, 'cd', 10, 10)"), "abcd");
  EXPECT_EQ(Eval("jet_op_add('ab', 10, NULL, 0, 10)"), "NULL");
  EXPECT_EQ(Eval("jet_op_add('12', 10, 3, 4, 7)"), "15");
  EXPECT_EQ(Eval("jet_op_add('zwölf', 10, 3, 4, 7)"), "error: jet:13:Typen unverträglich");
  // Ampersand treats one Null as empty.
  EXPECT_EQ(Eval("jet_op_concat('ab', 10, NULL, 0)"), "ab");
  EXPECT_EQ(Eval("jet_op_concat(NULL, 0, NULL, 10)"), "NULL");
  EXPECT_EQ(Eval("jet_op_concat('x', 10, 1.5, 7)"), "x1,5");
  EXPECT_EQ(Eval("jet_op_concat('', 10, -1, 1)"), "Wahr");
  EXPECT_EQ(Eval("jet_op_concat(12345, 5, '', 10)"), "1,2345");
  EXPECT_EQ(Eval("jet_op_concat(45000.75, 8, '', 10)"), "15.03.2023 18:00:00");
  // Logical operators follow Access's Null rules.
  EXPECT_EQ(Eval("jet_op_and(NULL, 0, 0, 1)"), "0");
  EXPECT_EQ(Eval("jet_op_and(NULL, 0, -1, 1)"), "NULL");
  EXPECT_EQ(Eval("jet_op_or(NULL, 0, -1, 1)"), "-1");
  EXPECT_EQ(Eval("jet_op_or(NULL, 0, 0, 1)"), "NULL");
  EXPECT_EQ(Eval("jet_op_imp(NULL, 0, -1, 1)"), "-1");
  EXPECT_EQ(Eval("jet_op_imp(0, 1, NULL, 0)"), "-1");
  EXPECT_EQ(Eval("jet_op_imp(-1, 1, NULL, 0)"), "NULL");
  EXPECT_EQ(Eval("jet_op_xor(-1, 1, NULL, 0)"), "NULL");
  EXPECT_EQ(Eval("jet_op_and(12, 4, 10, 4)"), "8");  // bitwise on numbers
  EXPECT_EQ(Eval("jet_op_not(5, 4)"), "-6");
  EXPECT_EQ(Eval("jet_op_not(NULL, 0)"), "NULL");
  // Compare across types.
  EXPECT_EQ(Eval("jet_op_cmp('abc', 10, 'ABC', 10)"), "0");
  EXPECT_EQ(Eval("jet_op_cmp('Äpfel', 10, 'Birnen', 10)"), "-1");
  EXPECT_EQ(Eval("jet_op_cmp(15000, 5, 1.5, 7)"), "0");  // Currency 1.5 = Double 1.5
  EXPECT_EQ(Eval("jet_op_cmp('1.50', 16, 15000, 5)"), "0");
  EXPECT_EQ(Eval("jet_op_cmp('a', 10, 1, 4)"),
            "error: jet:3464:Datentypenkonflikt im Kriterienausdruck.");
  EXPECT_EQ(Eval("jet_op_cmp(NULL, 0, 1, 4)"), "NULL");
  // Casts round half to even and check ranges.
  EXPECT_EQ(Eval("jet_cast(2.5, 7, 3)"), "2");    // CInt(2.5)
  EXPECT_EQ(Eval("jet_cast(3.5, 7, 3)"), "4");    // CInt(3.5)
  EXPECT_EQ(Eval("jet_cast(-2.5, 7, 4)"), "-2");  // CLng(-2.5)
  EXPECT_EQ(Eval("jet_cast(32767.5, 7, 3)"), "error: jet:6:Überlauf");
  EXPECT_EQ(Eval("jet_cast(256, 4, 2)"), "error: jet:6:Überlauf");  // CByte(256)
  EXPECT_EQ(Eval("jet_cast('1,5', 10, 7)"), "1.5");                 // CDbl("1,5")
  EXPECT_EQ(Eval("jet_cast('abc', 10, 4)"), "error: jet:13:Typen unverträglich");
  EXPECT_EQ(Eval("jet_cast(1.23456, 7, 5)"), "12346");  // CCur
  EXPECT_EQ(Eval("jet_cast(25000, 5, 3)"), "2");        // CInt(CCur(2.5))
  EXPECT_EQ(Eval("jet_cast(7, 4, 1)"), "-1");           // CBool
  EXPECT_EQ(Eval("jet_cast('Falsch', 10, 1)"), "0");
  EXPECT_EQ(Eval("jet_cast('2024-02-29 13:30', 10, 8)"), "45351.5625");   // CDate
  EXPECT_EQ(Eval("jet_cast(45351.5625, 8, 10)"), "29.02.2024 13:30:00");  // CStr(date)
  EXPECT_EQ(Eval("jet_cast(0.1, 7, 16)"), "0.1");                         // CDec
  EXPECT_EQ(Eval("jet_cast(1e20, 7, 10)"), "1E+20");                      // CStr
  EXPECT_EQ(Eval("jet_cast(NULL, 0, 10)"), "NULL");
}

}  // namespace
}  // namespace jetsql::testing
