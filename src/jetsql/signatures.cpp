#include "jetsql/signatures.h"

#include <cctype>
#include <deque>
#include <string>

namespace jetsql {
namespace {

using jet::ColumnType;
using CT = jet::ColumnType;

const DefaultArg kOne{"1", CT::kInteger};
const DefaultArg kZero{"0", CT::kInteger};
const DefaultArg kMinusOne{"-1", CT::kInteger};
const DefaultArg kFalse{"0", CT::kBoolean};
const DefaultArg kNull{"NULL", kNullType};
const DefaultArg kUseDefault{"-2", CT::kInteger};
const DefaultArg kEmptyText{"''", CT::kText};

FunctionSignature Scalar(const char* a, const char* s, int mn, int mx, std::vector<DefaultArg> d,
                         ColumnType result) {
  return {a, s, FunctionKind::kScalar, mn, mx, std::move(d), ResultRule::kFixed, result};
}
FunctionSignature Same(const char* a, const char* s, int mn, int mx, std::vector<DefaultArg> d) {
  return {a, s, FunctionKind::kScalar, mn, mx, std::move(d), ResultRule::kSame};
}
FunctionSignature Cast(const char* a, ColumnType target) {
  return {a, "jet_cast", FunctionKind::kCast, 1, 1, {}, ResultRule::kFixed, target, target};
}
FunctionSignature Aggregate(const char* a, const char* s, ResultRule rule,
                            ColumnType result = kNullType) {
  return {a, s, FunctionKind::kAggregate, 1, 1, {}, rule, result};
}
FunctionSignature Passing(const char* a, const char* s) {
  return {a, s, FunctionKind::kScalar, 1, 1, {}, ResultRule::kArgument};
}
FunctionSignature Special(const char* a, int mn, int mx, ResultRule rule = ResultRule::kArgument) {
  return {a, "", FunctionKind::kSpecial, mn, mx, {}, rule};
}

const std::vector<FunctionSignature>& Table() {
  static const std::vector<FunctionSignature> table = {
      // written by the binder
      Special("IIF", 3, 3),
      Special("NZ", 1, 2),
      Special("ISNULL", 1, 1),
      Special("SWITCH", 2, 254),
      Special("CHOOSE", 2, 254),
      Special("COUNT", 1, 1),
      Special("MIN", 1, 1),
      Special("MAX", 1, 1),
      // inspection
      Scalar("ISNUMERIC", "jet_isnumeric", 1, 1, {}, CT::kBoolean),
      Scalar("ISDATE", "jet_isdate", 1, 1, {}, CT::kBoolean),
      // text
      Scalar("LEN", "jet_len", 1, 1, {}, CT::kLong),
      Scalar("LEFT", "jet_left", 2, 2, {}, CT::kText),
      Scalar("RIGHT", "jet_right", 2, 2, {}, CT::kText),
      Scalar("MID", "jet_mid", 2, 3, {kNull}, CT::kText),
      Scalar("INSTR", "jet_instr", 2, 4, {}, CT::kLong),  // arguments rearranged by the binder
      Scalar("INSTRREV", "jet_instrrev", 2, 4, {kMinusOne, kOne}, CT::kLong),
      Scalar("UCASE", "jet_ucase", 1, 1, {}, CT::kText),
      Scalar("LCASE", "jet_lcase", 1, 1, {}, CT::kText),
      Scalar("TRIM", "jet_trim", 1, 1, {}, CT::kText),
      Scalar("LTRIM", "jet_ltrim", 1, 1, {}, CT::kText),
      Scalar("RTRIM", "jet_rtrim", 1, 1, {}, CT::kText),
      Scalar("SPACE", "jet_space", 1, 1, {}, CT::kText),
      Scalar("STRING", "jet_string", 2, 2, {}, CT::kText),
      Scalar("REPLACE", "jet_replace", 3, 6, {kOne, kMinusOne, kOne}, CT::kText),
      Scalar("STRCOMP", "jet_strcomp", 2, 3, {kOne}, CT::kInteger),
      Scalar("STRREVERSE", "jet_strreverse", 1, 1, {}, CT::kText),
      Scalar("ASC", "jet_asc", 1, 1, {}, CT::kInteger),
      Scalar("CHR", "jet_chr", 1, 1, {}, CT::kText),
      Scalar("VAL", "jet_val", 1, 1, {}, CT::kDouble),
      Scalar("STR", "jet_str", 1, 1, {}, CT::kText),
      Scalar("FORMAT", "jet_format", 1, 2, {kEmptyText}, CT::kText),
      Scalar("ASCW", "jet_ascw", 1, 1, {}, CT::kInteger),
      Scalar("CHRW", "jet_chrw", 1, 1, {}, CT::kText),
      Scalar("STRCONV", "jet_strconv", 2, 3, {kZero}, CT::kText),
      Scalar("FORMATNUMBER", "jet_formatnumber", 1, 5,
             {kMinusOne, kUseDefault, kUseDefault, kUseDefault}, CT::kText),
      Scalar("FORMATPERCENT", "jet_formatpercent", 1, 5,
             {kMinusOne, kUseDefault, kUseDefault, kUseDefault}, CT::kText),
      Scalar("FORMATCURRENCY", "jet_formatcurrency", 1, 5,
             {kMinusOne, kUseDefault, kUseDefault, kUseDefault}, CT::kText),
      Scalar("FORMATDATETIME", "jet_formatdatetime", 1, 2, {kZero}, CT::kText),
      // conversions
      Cast("CSTR", CT::kText),
      Cast("CINT", CT::kInteger),
      Cast("CLNG", CT::kLong),
      Cast("CSNG", CT::kSingle),
      Cast("CDBL", CT::kDouble),
      Cast("CCUR", CT::kCurrency),
      Cast("CDATE", CT::kDateTime),
      Cast("CVDATE", CT::kDateTime),
      Cast("CBOOL", CT::kBoolean),
      Cast("CBYTE", CT::kByte),
      Cast("CDEC", CT::kNumeric),
      Passing("CVAR", "jet_cvar"),
      Scalar("HEX", "jet_hex", 1, 1, {}, CT::kText),
      Scalar("OCT", "jet_oct", 1, 1, {}, CT::kText),
      Scalar("ISEMPTY", "jet_isempty", 1, 1, {}, CT::kBoolean),
      Scalar("ISERROR", "jet_iserror", 1, 1, {}, CT::kBoolean),
      Scalar("VARTYPE", "jet_vartype", 1, 1, {}, CT::kInteger),
      Scalar("TYPENAME", "jet_typename", 1, 1, {}, CT::kText),
      // numbers
      Same("INT", "jet_int", 1, 1, {}),
      Same("FIX", "jet_fix", 1, 1, {}),
      Same("ABS", "jet_abs", 1, 1, {}),
      Scalar("SGN", "jet_sgn", 1, 1, {}, CT::kInteger),
      Same("ROUND", "jet_round", 1, 2, {kZero}),
      Scalar("SQR", "jet_sqr", 1, 1, {}, CT::kDouble),
      Scalar("EXP", "jet_exp", 1, 1, {}, CT::kDouble),
      Scalar("LOG", "jet_log", 1, 1, {}, CT::kDouble),
      Scalar("SIN", "jet_sin", 1, 1, {}, CT::kDouble),
      Scalar("COS", "jet_cos", 1, 1, {}, CT::kDouble),
      Scalar("TAN", "jet_tan", 1, 1, {}, CT::kDouble),
      Scalar("ATN", "jet_atn", 1, 1, {}, CT::kDouble),
      Scalar("RND", "jet_rnd", 0, 1, {kNull}, CT::kSingle),
      Scalar("PARTITION", "jet_partition", 4, 4, {}, CT::kText),
      Scalar("RGB", "jet_rgb", 3, 3, {}, CT::kLong),
      Scalar("QBCOLOR", "jet_qbcolor", 1, 1, {}, CT::kLong),
      // dates
      Scalar("DATE", "jet_date", 0, 0, {}, CT::kDateTime),
      Scalar("TIME", "jet_time", 0, 0, {}, CT::kDateTime),
      Scalar("NOW", "jet_now", 0, 0, {}, CT::kDateTime),
      Scalar("DATE$", "jet_date_text", 0, 0, {}, CT::kText),
      Scalar("TIME$", "jet_time_text", 0, 0, {}, CT::kText),
      Scalar("TIMER", "jet_timer", 0, 0, {}, CT::kSingle),
      Scalar("YEAR", "jet_year", 1, 1, {}, CT::kInteger),
      Scalar("MONTH", "jet_month", 1, 1, {}, CT::kInteger),
      Scalar("DAY", "jet_day", 1, 1, {}, CT::kInteger),
      Scalar("HOUR", "jet_hour", 1, 1, {}, CT::kInteger),
      Scalar("MINUTE", "jet_minute", 1, 1, {}, CT::kInteger),
      Scalar("SECOND", "jet_second", 1, 1, {}, CT::kInteger),
      Scalar("WEEKDAY", "jet_weekday", 1, 2, {kOne}, CT::kInteger),
      Scalar("DATEADD", "jet_dateadd", 3, 3, {}, CT::kDateTime),
      Scalar("DATEDIFF", "jet_datediff", 3, 5, {kOne, kOne}, CT::kLong),
      Scalar("DATEPART", "jet_datepart", 2, 4, {kOne, kOne}, CT::kInteger),
      Scalar("DATESERIAL", "jet_dateserial", 3, 3, {}, CT::kDateTime),
      Scalar("TIMESERIAL", "jet_timeserial", 3, 3, {}, CT::kDateTime),
      Scalar("DATEVALUE", "jet_datevalue", 1, 1, {}, CT::kDateTime),
      Scalar("TIMEVALUE", "jet_timevalue", 1, 1, {}, CT::kDateTime),
      Scalar("MONTHNAME", "jet_monthname", 1, 2, {kFalse}, CT::kText),
      Scalar("WEEKDAYNAME", "jet_weekdayname", 1, 3, {kFalse, kOne}, CT::kText),
      // aggregates
      Aggregate("SUM", "jet_sum", ResultRule::kSum),
      Aggregate("AVG", "jet_avg", ResultRule::kAvg),
      Aggregate("FIRST", "jet_first", ResultRule::kArgument),
      Aggregate("LAST", "jet_last", ResultRule::kArgument),
      Aggregate("STDEV", "jet_stdev", ResultRule::kFixed, CT::kDouble),
      Aggregate("STDEVP", "jet_stdevp", ResultRule::kFixed, CT::kDouble),
      Aggregate("VAR", "jet_var", ResultRule::kFixed, CT::kDouble),
      Aggregate("VARP", "jet_varp", ResultRule::kFixed, CT::kDouble),
  };
  return table;
}

// The functions with a String form (Left$ beside Left): same arguments, Text result, and error
// 94 instead of Null.
constexpr const char* kWithTextForm[] = {"CHR",   "CHRW",  "FORMAT", "HEX",   "OCT",   "LCASE",
                                         "UCASE", "LEFT",  "RIGHT",  "MID",   "LTRIM", "RTRIM",
                                         "TRIM",  "SPACE", "STR",    "STRING"};

const std::vector<FunctionSignature>& TextForms() {
  static std::deque<std::string> names;
  static const std::vector<FunctionSignature> forms = [] {
    std::vector<FunctionSignature> out;
    for (const char* base : kWithTextForm) {
      for (const auto& sig : Table()) {
        if (std::string(base) != sig.access_name) continue;
        FunctionSignature form = sig;
        form.access_name = names.emplace_back(std::string(base) + "$").c_str();
        form.sqlite_name = names.emplace_back(std::string(sig.sqlite_name) + "_text").c_str();
        form.rule = ResultRule::kFixed;
        form.result = CT::kText;
        out.push_back(form);
      }
    }
    return out;
  }();
  return forms;
}

bool IsIntegral(ColumnType t) {
  return t == CT::kBoolean || t == CT::kByte || t == CT::kInteger || t == CT::kLong;
}

}  // namespace

const FunctionSignature* FindFunction(const std::string& name) {
  std::string up = name;
  for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto* table : {&Table(), &TextForms()}) {
    for (const auto& sig : *table) {
      if (up == sig.access_name) return &sig;
    }
  }
  return nullptr;
}

ColumnType ResultType(const FunctionSignature& sig, ColumnType first) {
  switch (sig.rule) {
    case ResultRule::kFixed:
      return sig.result;
    case ResultRule::kArgument:
      return first;
    case ResultRule::kSame:
      if (first == CT::kText || first == CT::kMemo || first == kNullType) return CT::kDouble;
      if (first == CT::kBoolean || first == CT::kByte) return CT::kInteger;
      return first;
    case ResultRule::kSum:
      if (IsIntegral(first)) return CT::kLong;
      if (first == CT::kCurrency || first == CT::kNumeric) return first;
      return CT::kDouble;
    case ResultRule::kAvg:
      if (first == CT::kCurrency || first == CT::kNumeric) return first;
      return CT::kDouble;
  }
  return CT::kDouble;
}

}  // namespace jetsql
