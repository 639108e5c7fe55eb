// Date and time functions, and the locale-dependent formatting functions.

#include "builtins.h"
#include "convert.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace quillora::vbs {

namespace {

struct Parts
{
    int y, m, d, h, mi, s;
};

Parts partsOf(double date)
{
    Parts p;
    dateToParts(date, &p.y, &p.m, &p.d, &p.h, &p.mi, &p.s);
    return p;
}

double dateArg(Args &a, int i)
{
    return toDate(a.scalar(i));
}

double nowOle()
{
    return oleFromDateTime(QDateTime::currentDateTime());
}

Value fNow(Args &)
{
    const double d = nowOle();
    return Value::date(std::floor(d) + std::round((d - std::floor(d)) * 86400.0) / 86400.0);
}
Value fDate(Args &)
{
    return Value::date(std::floor(nowOle()));
}
Value fTime(Args &)
{
    const QTime t = QTime::currentTime();
    return Value::date((t.hour() * 3600 + t.minute() * 60 + t.second()) / 86400.0);
}
Value fTimer(Args &)
{
    return Value::single(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}

int fixYear(int y)
{
    return y >= 0 && y < 30 ? 2000 + y : y >= 30 && y < 100 ? 1900 + y : y;
}

Value fDateSerial(Args &a)
{
    bool ok = false;
    const double d = dateFromParts(fixYear(a.integer(0)), a.integer(1), a.integer(2), 0, &ok);
    if (!ok)
        throwError(err::InvalidCall);
    return Value::date(d);
}

Value fTimeSerial(Args &a)
{
    const double secs = double(a.integer(0)) * 3600 + double(a.integer(1)) * 60 + a.integer(2);
    double day = std::floor(secs / 86400.0);
    double frac = (secs - day * 86400.0) / 86400.0;
    // negative times count back from midnight of day 0, as in 30 Dec 1899 minus a fraction
    return Value::date(day < 0 ? day + (frac == 0 ? 0 : 1) - frac : day + frac);
}

Value fDateValue(Args &a)
{
    return Value::date(std::trunc(dateArg(a, 0)));
}
Value fTimeValue(Args &a)
{
    const double d = dateArg(a, 0);
    return Value::date(std::fabs(d - std::trunc(d)));
}

Value part(Args &a, int Parts::*field)
{
    if (a.isNull(0))
        return Value::null();
    return Value::integer(partsOf(dateArg(a, 0)).*field);
}
Value fYear(Args &a)
{
    return part(a, &Parts::y);
}
Value fMonth(Args &a)
{
    return part(a, &Parts::m);
}
Value fDay(Args &a)
{
    return part(a, &Parts::d);
}
Value fHour(Args &a)
{
    return part(a, &Parts::h);
}
Value fMinute(Args &a)
{
    return part(a, &Parts::mi);
}
Value fSecond(Args &a)
{
    return part(a, &Parts::s);
}

// 1 = Sunday ... 7 = Saturday, counted from firstDay.
int weekdayOf(double date, int firstDay)
{
    const int days = int(std::floor(date));
    const int sundayBased = ((days + 6) % 7 + 7) % 7 + 1; // 30 Dec 1899 was a Saturday
    return (sundayBased - firstDay + 7) % 7 + 1;
}

int firstDayArg(Args &a, int i)
{
    int f = a.has(i) ? a.lng(i) : 1;
    if (f == 0)
        f = 1;
    if (f < 1 || f > 7)
        throwError(err::InvalidCall);
    return f;
}

Value fWeekday(Args &a)
{
    // the first day is checked even when the date is Null
    if (a.isNull(1))
        throwError(err::InvalidUseOfNull);
    const int first = firstDayArg(a, 1);
    if (a.isNull(0))
        return Value::null();
    return Value::integer(weekdayOf(dateArg(a, 0), first));
}

Value fWeekdayName(Args &a)
{
    const int n = a.lng(0);
    const bool abbrev = a.has(1) && a.boolean(1);
    const int first = firstDayArg(a, 2);
    if (n < 1 || n > 7)
        throwError(err::InvalidCall);
    const int sundayBased = (n - 1 + first - 1) % 7 + 1; // 1 Sunday
    const int qtDay = sundayBased == 1 ? 7 : sundayBased - 1;
    return Value::str(
        scriptLocale().dayName(qtDay, abbrev ? QLocale::ShortFormat : QLocale::LongFormat));
}

Value fMonthName(Args &a)
{
    if (a.isNull(0) || a.isNull(1))
        throwError(err::InvalidUseOfNull);
    const int n = a.lng(0);
    if (n < 1 || n > 12)
        throwError(err::InvalidCall);
    const bool abbrev = a.has(1) && a.boolean(1);
    return Value::str(
        scriptLocale().monthName(n, abbrev ? QLocale::ShortFormat : QLocale::LongFormat));
}

QString intervalArg(Args &a, int i)
{
    const QString s = a.str(i).toLower();
    static const QStringList valid = {
        QStringLiteral("yyyy"), QStringLiteral("q"), QStringLiteral("m"),  QStringLiteral("y"),
        QStringLiteral("d"),    QStringLiteral("w"), QStringLiteral("ww"), QStringLiteral("h"),
        QStringLiteral("n"),    QStringLiteral("s")};
    if (!valid.contains(s))
        throwError(err::InvalidCall);
    return s;
}

double addMonths(double date, int64_t months)
{
    Parts p = partsOf(date);
    int64_t total = int64_t(p.y) * 12 + (p.m - 1) + months;
    const int y = int(total / 12), m = int(total % 12) + 1;
    if (y < 100 || y > 9999)
        throwError(err::InvalidCall);
    const int day = std::min(p.d, QDate(y, m, 1).daysInMonth());
    const double frac = std::fabs(date - std::trunc(date));
    return dateFromParts(y, m, day, frac);
}

Value fDateAdd(Args &a)
{
    const QString iv = intervalArg(a, 0);
    if (a.isNull(2))
        return Value::null(); // after the interval is checked
    const double n = std::trunc(a.num(1));
    const double d = dateArg(a, 2);
    if (std::fabs(n) > 1e9)
        throwError(err::InvalidCall);
    double r;
    if (iv == u"yyyy")
        r = addMonths(d, int64_t(n) * 12);
    else if (iv == u"q")
        r = addMonths(d, int64_t(n) * 3);
    else if (iv == u"m")
        r = addMonths(d, int64_t(n));
    else if (iv == u"y" || iv == u"d" || iv == u"w")
        r = d + n;
    else if (iv == u"ww")
        r = d + n * 7;
    else {
        const double unit = iv == u"h" ? 3600 : iv == u"n" ? 60 : 1;
        // work in whole seconds from the epoch to keep the time exact
        const Parts p = partsOf(d);
        const double days = std::floor(d);
        const double secs =
            (days * 86400.0 + (d >= 0 ? 1 : -1) * 0 + (p.h * 3600 + p.mi * 60 + p.s)) + n * unit;
        const double nd = std::floor(secs / 86400.0);
        r = nd + (secs - nd * 86400.0) / 86400.0;
    }
    if (r < -657434.0 || r >= 2958466.0)
        throwError(err::InvalidCall);
    return Value::date(r);
}

Value fDateDiff(Args &a)
{
    const QString iv = intervalArg(a, 0);
    if (a.isNull(1) || a.isNull(2))
        return Value::null();
    const double d1 = dateArg(a, 1), d2 = dateArg(a, 2);
    const Parts p1 = partsOf(d1), p2 = partsOf(d2);
    auto secondsOf = [](double d, const Parts &p) {
        return std::floor(d) * 86400.0 + p.h * 3600 + p.mi * 60 + p.s;
    };
    double r = 0;
    if (iv == u"yyyy")
        r = p2.y - p1.y;
    else if (iv == u"q")
        r = (p2.y * 4 + (p2.m - 1) / 3) - (p1.y * 4 + (p1.m - 1) / 3);
    else if (iv == u"m")
        r = (p2.y * 12 + p2.m) - (p1.y * 12 + p1.m);
    else if (iv == u"y" || iv == u"d")
        r = std::floor(d2) - std::floor(d1);
    else if (iv == u"w")
        r = std::trunc((std::floor(d2) - std::floor(d1)) / 7);
    else if (iv == u"ww") {
        const int first = firstDayArg(a, 3);
        auto weekStart = [first](double d) { return std::floor(d) - (weekdayOf(d, first) - 1); };
        r = (weekStart(d2) - weekStart(d1)) / 7;
    } else {
        const double unit = iv == u"h" ? 3600 : iv == u"n" ? 60 : 1;
        r = std::floor(secondsOf(d2, p2) / unit) - std::floor(secondsOf(d1, p1) / unit);
    }
    return r >= INT32_MIN && r <= INT32_MAX ? Value::lng(int(r)) : Value::dbl(r);
}

Value fDatePart(Args &a)
{
    const QString iv = intervalArg(a, 0);
    if (a.isNull(1))
        return Value::null();
    const double d = dateArg(a, 1);
    const Parts p = partsOf(d);
    const int first = firstDayArg(a, 2);
    int r = 0;
    if (iv == u"yyyy")
        r = p.y;
    else if (iv == u"q")
        r = (p.m - 1) / 3 + 1;
    else if (iv == u"m")
        r = p.m;
    else if (iv == u"y")
        r = QDate(p.y, p.m, p.d).dayOfYear();
    else if (iv == u"d")
        r = p.d;
    else if (iv == u"w")
        r = weekdayOf(d, first);
    else if (iv == u"ww") {
        const double jan1 = dateFromParts(p.y, 1, 1, 0);
        const double start = jan1 - (weekdayOf(jan1, first) - 1);
        r = int((std::floor(d) - start) / 7) + 1;
    } else if (iv == u"h")
        r = p.h;
    else if (iv == u"n")
        r = p.mi;
    else
        r = p.s;
    return Value::integer(r);
}

Value fFormatDateTime(Args &a)
{
    if (a.isNull(0))
        throwError(err::TypeMismatch);
    const double d = dateArg(a, 0);
    const int fmt = a.has(1) ? a.lng(1) : 0;
    const Parts p = partsOf(d);
    const QLocale &loc = scriptLocale();
    const QDate date(p.y, p.m, p.d);
    const QTime time(p.h, p.mi, p.s);
    switch (fmt) {
    case 0:
        return Value::str(formatDate(d));
    case 1:
        if (localeIsUs())
            return Value::str(loc.toString(date, QStringLiteral("dddd, MMMM d, yyyy")));
        return Value::str(loc.toString(date, QLocale::LongFormat));
    case 2:
        return Value::str(formatDate(std::trunc(d) == 0 ? d : std::trunc(d)));
    case 3:
        return Value::str(formatDate(std::fabs(d - std::trunc(d))));
    case 4:
        return Value::str(QStringLiteral("%1:%2")
                              .arg(p.h, 2, 10, QLatin1Char('0'))
                              .arg(p.mi, 2, 10, QLatin1Char('0')));
    default:
        throwError(err::InvalidCall);
    }
}

// FormatNumber(expr[, digits[, leadingDigit[, parensForNegative[, groupDigits]]]])
QString formatNumberText(Args &a, double value, int digitsArg)
{
    const QLocale &loc = scriptLocale();
    const int digits = a.has(digitsArg) ? a.lng(digitsArg) : 2;
    if (digits < -1 || digits > 255)
        throwError(err::InvalidCall);
    const int useDigits = digits == -1 ? 2 : digits;
    auto tri = [&a](int i, bool def) {
        if (!a.has(i))
            return def;
        const int v = a.lng(i);
        return v == -2 ? def : v != 0;
    };
    const bool leading = tri(digitsArg + 1, true);
    const bool parens = tri(digitsArg + 2, false);
    const bool group = tri(digitsArg + 3, true);
    const double scale = std::pow(10.0, std::min(useDigits, 15));
    double rounded = std::round(std::fabs(value) * scale) / scale; // away from zero
    QLocale l = loc;
    l.setNumberOptions(group ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString s = l.toString(rounded, 'f', useDigits);
    if (!leading && s.startsWith(u'0') && useDigits > 0)
        s.remove(0, 1);
    const bool negative = value < 0 && rounded != 0;
    if (negative)
        s = parens ? u'(' + s + u')' : loc.negativeSign() + s;
    return s;
}

Value fFormatNumber(Args &a)
{
    if (a.isNull(0))
        throwError(err::TypeMismatch); // Null is no number to format
    return Value::str(formatNumberText(a, a.num(0), 1));
}

Value fFormatPercent(Args &a)
{
    if (a.isNull(0))
        throwError(err::TypeMismatch); // Null is no number to format
    return Value::str(formatNumberText(a, a.num(0) * 100, 1) + u'%');
}

Value fFormatCurrency(Args &a)
{
    if (a.isNull(0))
        throwError(err::TypeMismatch); // Null is no number to format
    const double v = a.num(0);
    QString s = formatNumberText(a, std::fabs(v), 1);
    const QString sym = scriptLocale().currencySymbol();
    s = localeIsUs() || scriptLocale().currencySymbol(QLocale::CurrencySymbol).isEmpty()
            ? sym + s
            : s + u' ' + sym;
    const bool parens = a.has(3) && a.lng(3) != 0 && a.lng(3) != -2;
    if (v < 0 && s.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        s = parens ? u'(' + s + u')' : scriptLocale().negativeSign() + s;
    return Value::str(s);
}

} // namespace

void addDateBuiltins(std::vector<Builtin> &out)
{
    out.insert(out.end(), {
                              {"now", 0, 0, fNow},
                              {"date", 0, 0, fDate},
                              {"time", 0, 0, fTime},
                              {"timer", 0, 0, fTimer},
                              {"dateserial", 3, 3, fDateSerial},
                              {"timeserial", 3, 3, fTimeSerial},
                              {"datevalue", 1, 1, fDateValue},
                              {"timevalue", 1, 1, fTimeValue},
                              {"year", 1, 1, fYear},
                              {"month", 1, 1, fMonth},
                              {"day", 1, 1, fDay},
                              {"hour", 1, 1, fHour},
                              {"minute", 1, 1, fMinute},
                              {"second", 1, 1, fSecond},
                              {"weekday", 1, 2, fWeekday},
                              {"weekdayname", 1, 3, fWeekdayName},
                              {"monthname", 1, 2, fMonthName},
                              {"dateadd", 3, 3, fDateAdd},
                              {"datediff", 3, 5, fDateDiff},
                              {"datepart", 2, 4, fDatePart},
                              {"formatdatetime", 1, 2, fFormatDateTime},
                              {"formatnumber", 1, 5, fFormatNumber},
                              {"formatpercent", 1, 5, fFormatPercent},
                              {"formatcurrency", 1, 5, fFormatCurrency},
                          });
}

} // namespace quillora::vbs
