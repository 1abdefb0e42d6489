#ifndef QUORLA_JETSQL_FUNCTIONS_REGISTRY_H_
#define QUORLA_JETSQL_FUNCTIONS_REGISTRY_H_

// The SQLite functions the translated SQL calls, with their argument conventions and results. The
// binder emits calls exactly as listed here; RegisterJetFunctions registers every entry of
// kJetFunctions under that name and arity.
//
// Values cross in the storage classes of sqlite_bridge.h. Type codes are jet::ColumnType as an
// INTEGER; code 0 means "no static type" (the Null literal, an untyped Null): its value is Null.
//
// CONVENTIONS
//  (1) Every Access function Foo(a1, a2, ...) is called as jet_foo(a1, t1, a2, t2, ...): each
//      argument is followed by its Jet type code. Optional arguments are always passed; the binder
//      fills the defaults given below, so each function has one fixed arity.
//  (2) A function returns its value in the representation of its result type (column "->" below).
//      "same" means: the type of the first argument, except Text/Memo/Null -> Double,
//      Boolean/Byte -> Integer.
//  (3) Errors: a function that fails (overflow 6, division by zero 11, invalid argument 5, type
//      mismatch 13) throws jet::Error; its callback keeps the error in the connection's
//      PendingError and fails the call with the description (callback_error.h). The vtab does
//      the same for engine errors. The session rethrows the kept error when the step fails.
//  (4) Booleans: Access True is -1, False 0. Functions returning Boolean return -1/0/NULL.
//  (5) Null: unless said otherwise, a Null argument in a value position gives Null.
//
// OPERATORS (the binder emits SQLite's own operators where the result is identical, e.g. integer
// + on Long operands is NOT native because of overflow; comparisons of like-typed numbers are):
//   jet_op_add(a,ta,b,tb,tr)   a + b. tr = result type chosen by the binder (rules below); the
//                              runtime computes in tr and checks its range (error 6).
//                              Text + Text joins (tr = Text); Text + number converts the text to
//                              a number (error 13 if it is not numeric), tr = Double.
//                              Date + number -> Date (days).
//   jet_op_sub(a,ta,b,tb,tr)   a - b; Date - Date -> Double, Date - number -> Date.
//   jet_op_mul(a,ta,b,tb,tr)   a * b.
//   jet_op_div(a,ta,b,tb,tr)   a / b; tr = Double (Decimal if either is Decimal); b = 0 -> 11.
//   jet_op_intdiv(a,ta,b,tb,tr) a \ b: both rounded (banker's) to integers first; tr = Long.
//   jet_op_mod(a,ta,b,tb,tr)   a Mod b: both rounded to integers first; sign of a; tr = Long.
//   jet_op_pow(a,ta,b,tb,tr)   a ^ b; tr = Double.
//   jet_op_neg(a,ta,tr)        -a; tr = same type (Byte -> Integer), error 6 on overflow.
//   jet_op_concat(a,ta,b,tb)   a & b -> Text. One Null counts as "", Null & Null is Null.
//                              Non-text operands are converted as CStr does (dates as general
//                              date, Booleans and numbers in the regional settings).
//   jet_op_not(a,ta)           bitwise Not on Long (Booleans: -1 <-> 0); Null -> Null.
//   jet_op_and / jet_op_or / jet_op_xor / jet_op_eqv / jet_op_imp (a,ta,b,tb)
//                              bitwise on values converted to Long, Access's Null rules
//                              (Null And 0 = 0, Null Or -1 = -1, Null Imp -1 = -1, 0 Imp Null =
//                              -1, else Null with a Null operand). Used in value context with
//                              numeric operands; Boolean logic in WHERE is emitted natively.
//   jet_op_cmp(a,ta,b,tb)      -1 / 0 / 1 or NULL if either is Null. Compares after converting
//                              both to a common type (numbers by value incl. Currency and
//                              Decimal; text by the "jet_general" collation; dates as numbers).
//                              Error 3464 if text meets a number. Used where a native comparison
//                              would be wrong (Decimal, Currency against a non-Currency, GUID).
//   jet_like(v,tv,p,tp)        v Like p with Access wildcards * ? # [a-z] [!a-z], [*] literal,
//                              % and _ ordinary characters, case-insensitive -> -1 / 0 / NULL
//                              (Null if either is Null). Non-text v is converted as CStr does.
//   jet_cast(v,tv,target)      converts v (of type tv) to the Jet type `target` (an INTEGER type
//                              code), as Access's conversion functions do: to integral types
//                              rounds banker's, range errors -> 6, text that is not a number /
//                              date -> 13; to Text as CStr; to Date from text parses dates. Null
//                              -> Null. CStr, CInt, CLng, CSng, CDbl, CCur, CDate, CBool, CByte,
//                              CDec are emitted as jet_cast with targets 10, 3, 4, 6, 7, 5, 8, 1,
//                              2, 16; the binder also uses it for implicit coercions.
// Result type rules the binder uses for + - * (both sides): any Null -> the other type (value
// Null); integral (Boolean, Byte, Integer, Long) with integral -> Long; Currency with integral or
// Currency -> Currency; Decimal with integral/Currency/Decimal -> Decimal; Single/Double with
// anything numeric -> Double; Date +/- number -> Date; Date - Date -> Double; Text + Text (only
// +) -> Text; Text with a number -> Double.
//
// COLLATION "jet_general": case-insensitive text order as Access's "General" sort order. The
// vtab declares Text and Memo columns with COLLATE jet_general; the binder also writes it
// explicitly on text comparisons, ORDER BY and GROUP BY terms.
//
// ACCESS FUNCTIONS (arguments in Access order, each followed by its type code; -> result type)
//   jet_isnumeric(v)        -> Boolean       jet_isdate(v)          -> Boolean
//   jet_len(v)              -> Long          jet_left(s, n)         -> Text
//   jet_right(s, n)         -> Text          jet_mid(s, start, len) -> Text (len Null/omitted:
//                                                                     binder passes NULL, type 0)
//   jet_instr(start, s1, s2, compare)        -> Long (start default 1, compare default 1 = text)
//   jet_instrrev(s1, s2, start, compare)     -> Long (start default -1, compare default 1)
//   jet_ucase, jet_lcase, jet_trim, jet_ltrim, jet_rtrim, jet_strreverse (s) -> Text
//   jet_space(n)            -> Text          jet_string(n, ch)      -> Text
//   jet_replace(s, find, repl, start, count, compare) -> Text (defaults 1, -1, 1)
//   jet_strcomp(a, b, compare)               -> Integer (compare default 1)
//   jet_asc(s) -> Integer   jet_chr(n) -> Text   jet_val(s) -> Double   jet_str(v) -> Text
//   jet_format(v, fmt)      -> Text (fmt omitted: binder passes '' with type 10)
//   jet_int, jet_fix, jet_abs (v) -> same   jet_sgn(v) -> Integer   jet_round(v, n) -> same
//                                                                     (n default 0, banker's)
//   jet_sqr, jet_exp, jet_log, jet_sin, jet_cos, jet_tan, jet_atn (v) -> Double
//   jet_rnd(v)              -> Single (v omitted: NULL, type 0); not deterministic
//   jet_date(), jet_time(), jet_now()        -> Date (no arguments; not deterministic)
//   jet_year, jet_month, jet_day, jet_hour, jet_minute, jet_second (d) -> Integer
//   jet_weekday(d, firstdayofweek)           -> Integer (default 1 = Sunday)
//   jet_dateadd(interval, n, d)              -> Date
//   jet_datediff(interval, d1, d2, firstdayofweek, firstweekofyear) -> Long (defaults 1, 1)
//   jet_datepart(interval, d, firstdayofweek, firstweekofyear)      -> Integer (defaults 1, 1)
//   jet_dateserial(y, m, d), jet_timeserial(h, m, s)                -> Date
//   jet_datevalue(v), jet_timevalue(v)       -> Date
//   jet_monthname(m, abbreviate)             -> Text (default 0)
//   jet_weekdayname(d, abbreviate, firstdayofweek) -> Text (defaults 0, 1)
//   jet_date_text(), jet_time_text()       -> Text: Date$ ("mm-dd-yyyy"), Time$ ("hh:nn:ss")
//   jet_timer()             -> Single: seconds since midnight; not deterministic
//   jet_hex(v), jet_oct(v)  -> Text: Integers in 16 bits, other numbers rounded to Long, in 32
//   jet_chrw(n) -> Text     jet_ascw(s) -> Integer (UTF-16 code units)
//   jet_strconv(s, conversion, lcid)         -> Text (1 upper, 2 lower, 3 proper case; else 5)
//   jet_partition(n, start, stop, interval)  -> Text ("lower:upper", padded)
//   jet_rgb(r, g, b), jet_qbcolor(n)         -> Long
//   jet_cvar(v) -> the argument   jet_isempty(v), jet_iserror(v) -> Boolean (always False)
//   jet_vartype(v) -> Integer     jet_typename(v) -> Text (of the value: "Null", "Long", ...)
//   jet_formatnumber, jet_formatpercent, jet_formatcurrency (v, digits, leading digit, parens,
//                            group) -> Text (defaults -1, -2, -2, -2)
//   jet_formatdatetime(d, named format) -> Text (default 0)
// String forms: <name>_text calls jet_<name> with the same arguments and fails with 94 where it
// would give Null (Left$, Mid$, Format$, Hex$, ...).
// Emitted natively by the binder (no jet_ function): IIf, Nz, IsNull, Switch, Choose (CASE
// expressions), Count (count), Min and Max (min/max, text under jet_general).
//
// AGGREGATES (one argument plus its type code)
//   jet_sum(v)   -> integral: Long (error 6 on overflow); Currency: Currency; Decimal: Decimal;
//                   otherwise Double.   Null when no non-Null values.
//   jet_avg(v)   -> Currency: Currency; Decimal: Decimal; otherwise Double.
//   jet_first(v), jet_last(v) -> the value itself (first / last row in the group, Nulls included).
//   jet_stdev, jet_stdevp, jet_var, jet_varp (v) -> Double (Null when too few values).

#include <string_view>

namespace jetsql {

struct JetFunctionSpec {
  const char* name;  // SQLite function name
  int arity;         // number of SQLite arguments (type codes included)
  bool aggregate;
  bool deterministic;
};

inline constexpr JetFunctionSpec kJetFunctions[] = {
    // operators
    {"jet_op_add", 5, false, true},
    {"jet_op_sub", 5, false, true},
    {"jet_op_mul", 5, false, true},
    {"jet_op_div", 5, false, true},
    {"jet_op_intdiv", 5, false, true},
    {"jet_op_mod", 5, false, true},
    {"jet_op_pow", 5, false, true},
    {"jet_op_neg", 3, false, true},
    {"jet_op_concat", 4, false, true},
    {"jet_op_not", 2, false, true},
    {"jet_op_and", 4, false, true},
    {"jet_op_or", 4, false, true},
    {"jet_op_xor", 4, false, true},
    {"jet_op_eqv", 4, false, true},
    {"jet_op_imp", 4, false, true},
    {"jet_op_cmp", 4, false, true},
    {"jet_like", 4, false, true},
    {"jet_cast", 3, false, true},
    // inspection
    {"jet_isnumeric", 2, false, true},
    {"jet_isdate", 2, false, true},
    // text
    {"jet_len", 2, false, true},
    {"jet_left", 4, false, true},
    {"jet_right", 4, false, true},
    {"jet_mid", 6, false, true},
    {"jet_instr", 8, false, true},
    {"jet_instrrev", 8, false, true},
    {"jet_ucase", 2, false, true},
    {"jet_lcase", 2, false, true},
    {"jet_trim", 2, false, true},
    {"jet_ltrim", 2, false, true},
    {"jet_rtrim", 2, false, true},
    {"jet_space", 2, false, true},
    {"jet_string", 4, false, true},
    {"jet_replace", 12, false, true},
    {"jet_strcomp", 6, false, true},
    {"jet_strreverse", 2, false, true},
    {"jet_asc", 2, false, true},
    {"jet_chr", 2, false, true},
    {"jet_val", 2, false, true},
    {"jet_str", 2, false, true},
    {"jet_format", 4, false, true},
    {"jet_ascw", 2, false, true},
    {"jet_chrw", 2, false, true},
    {"jet_strconv", 6, false, true},
    {"jet_formatnumber", 10, false, true},
    {"jet_formatpercent", 10, false, true},
    {"jet_formatcurrency", 10, false, true},
    {"jet_formatdatetime", 4, false, true},
    // conversions and inspection
    {"jet_hex", 2, false, true},
    {"jet_oct", 2, false, true},
    {"jet_cvar", 2, false, true},
    {"jet_isempty", 2, false, true},
    {"jet_iserror", 2, false, true},
    {"jet_vartype", 2, false, true},
    {"jet_typename", 2, false, true},
    // string forms
    {"jet_chr_text", 2, false, true},
    {"jet_chrw_text", 2, false, true},
    {"jet_format_text", 4, false, true},
    {"jet_hex_text", 2, false, true},
    {"jet_oct_text", 2, false, true},
    {"jet_lcase_text", 2, false, true},
    {"jet_ucase_text", 2, false, true},
    {"jet_left_text", 4, false, true},
    {"jet_right_text", 4, false, true},
    {"jet_mid_text", 6, false, true},
    {"jet_ltrim_text", 2, false, true},
    {"jet_rtrim_text", 2, false, true},
    {"jet_trim_text", 2, false, true},
    {"jet_space_text", 2, false, true},
    {"jet_str_text", 2, false, true},
    {"jet_string_text", 4, false, true},
    // numbers
    {"jet_int", 2, false, true},
    {"jet_fix", 2, false, true},
    {"jet_abs", 2, false, true},
    {"jet_sgn", 2, false, true},
    {"jet_round", 4, false, true},
    {"jet_sqr", 2, false, true},
    {"jet_exp", 2, false, true},
    {"jet_log", 2, false, true},
    {"jet_sin", 2, false, true},
    {"jet_cos", 2, false, true},
    {"jet_tan", 2, false, true},
    {"jet_atn", 2, false, true},
    {"jet_rnd", 2, false, false},
    {"jet_partition", 8, false, true},
    {"jet_rgb", 6, false, true},
    {"jet_qbcolor", 2, false, true},
    // dates
    {"jet_date", 0, false, false},
    {"jet_time", 0, false, false},
    {"jet_now", 0, false, false},
    {"jet_date_text", 0, false, false},
    {"jet_time_text", 0, false, false},
    {"jet_timer", 0, false, false},
    {"jet_year", 2, false, true},
    {"jet_month", 2, false, true},
    {"jet_day", 2, false, true},
    {"jet_hour", 2, false, true},
    {"jet_minute", 2, false, true},
    {"jet_second", 2, false, true},
    {"jet_weekday", 4, false, true},
    {"jet_dateadd", 6, false, true},
    {"jet_datediff", 10, false, true},
    {"jet_datepart", 8, false, true},
    {"jet_dateserial", 6, false, true},
    {"jet_timeserial", 6, false, true},
    {"jet_datevalue", 2, false, true},
    {"jet_timevalue", 2, false, true},
    {"jet_monthname", 4, false, true},
    {"jet_weekdayname", 6, false, true},
    // aggregates
    {"jet_sum", 2, true, true},
    {"jet_avg", 2, true, true},
    {"jet_first", 2, true, true},
    {"jet_last", 2, true, true},
    {"jet_stdev", 2, true, true},
    {"jet_stdevp", 2, true, true},
    {"jet_var", 2, true, true},
    {"jet_varp", 2, true, true},
};

// What a String form's SQLite name adds to its function's (jet_left -> jet_left_text).
inline constexpr std::string_view kTextFormSuffix = "_text";

// Type code for "no static type" (Null literal).
inline constexpr int kUntypedCode = 0;

}  // namespace jetsql

#endif  // QUORLA_JETSQL_FUNCTIONS_REGISTRY_H_
