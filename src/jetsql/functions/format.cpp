#include "jetsql/functions/function_support.h"
#include "jetsql/value_convert.h"

namespace jetsql::fn {

namespace {

jet::Value Format(const Args& args) {
  if (args.is_null(0)) return std::monostate{};
  return ValueText(args.value(0));
}

constexpr ScalarFunction kFormat[] = {{"jet_format", Format, false}};

}  // namespace

std::span<const ScalarFunction> FormatFunctions() {
  return kFormat;
}

}  // namespace jetsql::fn
