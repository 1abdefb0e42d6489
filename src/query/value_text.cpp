#include "query/value_text.h"

#include <cmath>

#include "jet/error.h"
#include "jetsql/date_format.h"
#include "jetsql/functions/format.h"
#include "jetsql/value_convert.h"

namespace query {

namespace {

QString FromStd(const std::string& s) {
  return QString::fromStdString(s);
}

QString OneLine(const std::string& text) {
  QString s = FromStd(text);
  s.replace("\r\n", " ");
  s.replace('\r', ' ');
  s.replace('\n', ' ');
  return s;
}

QString CurrencyText(jet::Currency c) {
  jet::Value shown = jetsql::fn::FormatValue(c, "Currency");
  const auto* s = std::get_if<std::string>(&shown);
  return s ? FromStd(*s) : QString();
}

}  // namespace

QString ValueText(const jet::Value& v) {
  if (jet::IsNull(v)) return QString();
  if (const auto* s = std::get_if<std::string>(&v)) return OneLine(*s);
  if (const auto* b = std::get_if<jet::Bytes>(&v)) {
    return QStringLiteral("<Binärdaten, %1 Bytes>").arg(b->size());
  }
  if (const auto* c = std::get_if<jet::Currency>(&v)) return CurrencyText(*c);
  if (const auto* d = std::get_if<jet::DateTime>(&v)) {
    if (!std::isfinite(d->days)) return QString();
    return FromStd(jetsql::GeneralDateText(d->days));
  }
  try {
    return FromStd(jetsql::ValueText(v));
  } catch (const jet::Error&) {
    return QString();
  }
}

}  // namespace query
