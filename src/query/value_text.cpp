#include "query/value_text.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <cmath>

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
  unsigned __int128 m = d.mantissa;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  while (digits.size() <= d.scale) digits.insert(digits.begin(), '0');
  std::string out = digits.substr(0, digits.size() - d.scale);
  std::string frac = digits.substr(digits.size() - d.scale);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  QString text = QString::fromStdString(out);
  if (!frac.empty()) text += locale.decimalPoint() + QString::fromStdString(frac);
  const bool zero = d.mantissa == 0;
  return (d.negative && !zero) ? locale.negativeSign() + text : text;
}

QString GuidText(const jet::Guid& g) {
  // Stored as the first three groups little-endian, the rest in order.
  static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  QString s = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
    s += QString("%1").arg(g[static_cast<size_t>(kOrder[i])], 2, 16, QChar('0')).toUpper();
  }
  return s + "}";
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
