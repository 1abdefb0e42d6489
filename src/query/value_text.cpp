#include "query/value_text.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <string>

#include "jet/decimal_text.h"
#include "jet/guid_text.h"

namespace query {

namespace {
constexpr int64_t kCurrencyScale = jet::Currency::kScale;
constexpr int kCurrencyDecimals = 2;
constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 15;
constexpr double kSecondsPerDay = 86400.0;
constexpr int kSecondsPerDayInt = 86400;

// The locale's long time format without the time zone.
QString TimeText(const QTime& t, const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
  return locale.toString(t, format.trimmed());
}

QString DateTimeText(jet::DateTime d, const QLocale& locale) {
  if (!std::isfinite(d.days)) return QString();
  // Whole days count from 1899-12-30; the fraction is the time of day, positive also for
  // dates before the epoch.
  double whole = std::trunc(d.days);
  int64_t seconds = std::llround(std::fabs(d.days - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDayInt) {
    seconds -= kSecondsPerDayInt;
    whole += d.days < 0 ? -1 : 1;
  }
  const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
  const QTime time = QTime(0, 0).addSecs(seconds);
  const bool has_date = whole != 0;
  const bool has_time = seconds != 0;
  if (has_date && !has_time) return locale.toString(date, QLocale::ShortFormat);
  if (!has_date && has_time) return TimeText(time, locale);
  if (!has_date && !has_time) return locale.toString(date, QLocale::ShortFormat);
  return locale.toString(date, QLocale::ShortFormat) + " " + TimeText(time, locale);
}

QString CurrencyText(jet::Currency c, const QLocale& locale) {
  // Round half away from zero to cents, exactly, before formatting.
  const int64_t per_cent = kCurrencyScale / 100;
  int64_t cents = c.scaled / per_cent;
  const int64_t rest = c.scaled % per_cent;
  if (rest >= per_cent / 2) ++cents;
  if (rest <= -per_cent / 2) --cents;
  const double value = static_cast<double>(cents) / 100.0;
  QLocale grouped = locale;
  grouped.setNumberOptions(locale.numberOptions() &
                           ~QLocale::NumberOptions(QLocale::OmitGroupSeparator));
  return grouped.toCurrencyString(value, QString(), kCurrencyDecimals);
}

QString DecimalText(const jet::Decimal& d, const QLocale& locale) {
  // The exact text, then the locale's sign and decimal point, without trailing zeros.
  std::string exact = jet::DecimalText(d);
  const bool negative = !exact.empty() && exact.front() == '-';
  if (negative) exact.erase(0, 1);
  std::string frac;
  if (size_t point = exact.find('.'); point != std::string::npos) {
    frac = exact.substr(point + 1);
    exact.resize(point);
  }
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  QString text = QString::fromStdString(exact);
  if (!frac.empty()) text += locale.decimalPoint() + QString::fromStdString(frac);
  return negative ? locale.negativeSign() + text : text;
}

QString GuidText(const jet::Guid& g) {
  return QString::fromStdString(jet::GuidText(g));
}

QString OneLine(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace("\r\n", " ");
  s.replace('\r', ' ');
  s.replace('\n', ' ');
  return s;
}
}  // namespace

QString ValueText(const jet::Value& v, const QLocale& given) {
  // Plain numbers as the locale writes them, without thousands separators.
  QLocale locale = given;
  locale.setNumberOptions(given.numberOptions() | QLocale::OmitGroupSeparator);
  struct Visitor {
    const QLocale& locale;
    QString operator()(std::monostate) const { return QString(); }
    QString operator()(bool b) const {
      return b ? QStringLiteral("Wahr") : QStringLiteral("Falsch");
    }
    QString operator()(uint8_t n) const { return locale.toString(uint{n}); }
    QString operator()(int16_t n) const { return locale.toString(int{n}); }
    QString operator()(int32_t n) const { return locale.toString(n); }
    QString operator()(jet::Currency c) const { return CurrencyText(c, locale); }
    QString operator()(float f) const {
      return locale.toString(static_cast<double>(f), 'g', kSingleDigits);
    }
    QString operator()(double d) const { return locale.toString(d, 'g', kDoubleDigits); }
    QString operator()(jet::DateTime d) const { return DateTimeText(d, locale); }
    QString operator()(const jet::Bytes& b) const {
      return QStringLiteral("<Binärdaten, %1 Bytes>").arg(b.size());
    }
    QString operator()(const std::string& s) const { return OneLine(s); }
    QString operator()(const jet::Guid& g) const { return GuidText(g); }
    QString operator()(const jet::Decimal& d) const { return DecimalText(d, locale); }
  };
  return std::visit(Visitor{locale}, v);
}

}  // namespace query
