#ifndef QUORLA_QUERY_VALUE_TEXT_H_
#define QUORLA_QUERY_VALUE_TEXT_H_

#include <QLocale>
#include <QString>

#include "jet/value.h"

namespace query {

// A value as a grid cell shows it, formatted by its type in the given locale: dates and times
// in the short date and the time format, numbers with the locale's decimal point and no grouping,
// Currency with two decimals and the currency symbol, Yes/No as "Wahr"/"Falsch", Null as an empty
// cell, memo text on one line, binary as a placeholder with its size.
QString ValueText(const jet::Value& v, const QLocale& locale);

}  // namespace query

#endif  // QUORLA_QUERY_VALUE_TEXT_H_
