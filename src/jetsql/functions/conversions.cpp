// Conversions and inspections: Hex, Oct, CVar, IsEmpty, IsError, VarType and TypeName.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "jetsql/functions/function_support.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

// VarType codes.
constexpr int16_t kVarNull = 1;
constexpr int16_t kVarInteger = 2;
constexpr int16_t kVarLong = 3;
constexpr int16_t kVarSingle = 4;
constexpr int16_t kVarDouble = 5;
constexpr int16_t kVarCurrency = 6;
constexpr int16_t kVarDate = 7;
constexpr int16_t kVarString = 8;
constexpr int16_t kVarBoolean = 11;
constexpr int16_t kVarDecimal = 14;
constexpr int16_t kVarByte = 17;
constexpr int16_t kVarArray = 8192;

// The whole number Hex and Oct write, as the two's complement bits of its type: an Integer (and
// a Byte or Yes/No) in 16 bits, anything else rounded to a Long in 32.
uint32_t Bits(const jet::Value& v) {
  if (const auto* b = std::get_if<bool>(&v)) return *b ? 0xFFFFu : 0u;
  if (const auto* b = std::get_if<uint8_t>(&v)) return *b;
  if (const auto* i = std::get_if<int16_t>(&v)) return static_cast<uint16_t>(*i);
  if (const auto* l = std::get_if<int32_t>(&v)) return static_cast<uint32_t>(*l);
  double d = BankersRound(ValueToDouble(v));
  if (!(d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max()))
    ThrowOverflow();
  return static_cast<uint32_t>(static_cast<int32_t>(d));
}

std::string InBase(uint32_t bits, unsigned base) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[bits % base]);
    bits /= base;
  } while (bits != 0);
  return out;
}

jet::Value Hex(const Args& args) {
  return InBase(Bits(args.value(0)), 16);
}

jet::Value Oct(const Args& args) {
  return InBase(Bits(args.value(0)), 8);
}

jet::Value CVar(const Args& args) {
  return args.value(0);
}

// A query has no Empty values and no error values.
jet::Value IsEmpty(const Args&) {
  return false;
}
jet::Value IsError(const Args&) {
  return false;
}

jet::Value VarType(const Args& args) {
  struct Visitor {
    int16_t operator()(std::monostate) const { return kVarNull; }
    int16_t operator()(bool) const { return kVarBoolean; }
    int16_t operator()(uint8_t) const { return kVarByte; }
    int16_t operator()(int16_t) const { return kVarInteger; }
    int16_t operator()(int32_t) const { return kVarLong; }
    int16_t operator()(jet::Currency) const { return kVarCurrency; }
    int16_t operator()(float) const { return kVarSingle; }
    int16_t operator()(double) const { return kVarDouble; }
    int16_t operator()(jet::DateTime) const { return kVarDate; }
    int16_t operator()(const jet::Bytes&) const { return kVarArray + kVarByte; }
    int16_t operator()(const std::string&) const { return kVarString; }
    int16_t operator()(const jet::Guid&) const { return kVarString; }
    int16_t operator()(const jet::Decimal&) const { return kVarDecimal; }
  };
  return std::visit(Visitor{}, args.value(0));
}

jet::Value TypeName(const Args& args) {
  struct Visitor {
    const char* operator()(std::monostate) const { return "Null"; }
    const char* operator()(bool) const { return "Boolean"; }
    const char* operator()(uint8_t) const { return "Byte"; }
    const char* operator()(int16_t) const { return "Integer"; }
    const char* operator()(int32_t) const { return "Long"; }
    const char* operator()(jet::Currency) const { return "Currency"; }
    const char* operator()(float) const { return "Single"; }
    const char* operator()(double) const { return "Double"; }
    const char* operator()(jet::DateTime) const { return "Date"; }
    const char* operator()(const jet::Bytes&) const { return "Byte()"; }
    const char* operator()(const std::string&) const { return "String"; }
    const char* operator()(const jet::Guid&) const { return "String"; }
    const char* operator()(const jet::Decimal&) const { return "Decimal"; }
  };
  return std::string(std::visit(Visitor{}, args.value(0)));
}

constexpr ScalarFunction kConversions[] = {
    {"jet_hex", Hex},
    {"jet_oct", Oct},
    {"jet_cvar", CVar},
    {"jet_isempty", IsEmpty, false},
    {"jet_iserror", IsError, false},
    {"jet_vartype", VarType, false},
    {"jet_typename", TypeName, false},
};

}  // namespace

std::span<const ScalarFunction> ConversionFunctions() {
  return kConversions;
}

}  // namespace jetsql::fn
