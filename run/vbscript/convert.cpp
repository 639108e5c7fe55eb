#include "convert.h"

#include "errors.h"

#include <QRegularExpression>

#include <cmath>

namespace quillora::vbs {

const QLocale &scriptLocale()
{
    static const QLocale loc = [] {
        QLocale sys = QLocale::system();
        if (sys.language() == QLocale::C || sys.language() == QLocale::AnyLanguage)
            return QLocale(QLocale::English, QLocale::UnitedStates);
        return sys;
    }();
    return loc;
}

bool localeIsUs()
{
    static const bool us = [] {
        const QString f = scriptLocale().dateFormat(QLocale::ShortFormat);
        return f.indexOf(u'M') >= 0 && f.indexOf(u'M') < f.indexOf(u'd');
    }();
    return us;
}

double roundHalfEven(double x)
{
    double r = std::nearbyint(x); // default rounding mode: to nearest, ties to even
    return r;
}

bool parseNumber(const QString &textIn, double *out)
{
    QString text = textIn.trimmed();
    if (text.isEmpty())
        return false;
    if (text.startsWith(u'&') && text.size() > 1) {
        int base = 8, p = 1;
        if (text[1] == u'h' || text[1] == u'H') {
            base = 16;
            p = 2;
        } else if (text[1] == u'o' || text[1] == u'O') {
            p = 2;
        }
        bool ok = false;
        qulonglong v = text.mid(p).toULongLong(&ok, base);
        if (!ok || v > 0xFFFFFFFFull)
            return false;
        *out = (v <= 0xFFFF && text.size() - p <= 4) ? double(int16_t(uint16_t(v)))
                                                     : double(int32_t(uint32_t(v)));
        return true;
    }
    const QLocale &loc = scriptLocale();
    const QChar dec = loc.decimalPoint().at(0);
    const QChar group = loc.groupSeparator().isEmpty() ? QChar() : loc.groupSeparator().at(0);
    // The digits go into a plain C-locale form: QByteArray::toDouble reads it directly, where
    // QString::toDouble maps every character through the locale tables first.
    QByteArray plain;
    plain.reserve(text.size());
    int i = 0;
    const int n = int(text.size());
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        plain += char(text[i++].unicode());
    bool digits = false, seenDec = false;
    for (; i < n; ++i) {
        QChar c = text[i];
        if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            plain += char(c.unicode());
            digits = true;
        } else if (c == dec && !seenDec) {
            plain += '.';
            seenDec = true;
        } else if (c == group && !group.isNull() && digits && !seenDec) {
            continue;
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            plain += char(text[i++].unicode());
        bool expDigits = false;
        while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') {
            plain += char(text[i++].unicode());
            expDigits = true;
        }
        if (!expDigits)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    double d = plain.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    *out = d;
    return true;
}

QString formatDouble(double d, int significant)
{
    if (d == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", significant, d);
    QString s = QString::fromLatin1(buf);
    // %G writes "1E+020"-free forms like "1E+20" and "1E-05": exactly the language's form.
    int e = int(s.indexOf(u'E'));
    QString mant = e < 0 ? s : s.left(e);
    QString exp = e < 0 ? QString() : s.mid(e);
    if (mant.contains(u'.')) {
        while (mant.endsWith(u'0'))
            mant.chop(1);
        if (mant.endsWith(u'.'))
            mant.chop(1);
    }
    const QString dec = scriptLocale().decimalPoint();
    if (dec != u".")
        mant.replace(u'.', dec);
    return mant + exp;
}

QString formatCurrency(int64_t scaled)
{
    return formatDouble(double(scaled) / 10000.0);
}

// Days from 1970-01-01 for a proleptic Gregorian date (Howard Hinnant's algorithm).
int daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * unsigned(m + (m > 2 ? -3 : 9)) + 2) / 5 + unsigned(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int(doe) - 719468;
}

static void civilFromDays(int z, int *y, int *m, int *d)
{
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int yy = int(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = int(doy - (153 * mp + 2) / 5 + 1);
    *m = int(mp < 10 ? mp + 3 : mp - 9);
    *y = yy + (*m <= 2);
}

static const int kOleEpoch = -25569; // 1899-12-30 in days from 1970-01-01

double dateFromParts(int y, int m, int d, double timeFraction, bool *ok)
{
    // Months and days outside their range roll over, as DateSerial does.
    int64_t months = int64_t(y) * 12 + (m - 1);
    int yy = int(months >= 0 ? months / 12 : (months - 11) / 12);
    int mm = int(months - int64_t(yy) * 12) + 1;
    double days = double(daysFromCivil(yy, mm, 1) - kOleEpoch) + (d - 1);
    if (ok)
        *ok = yy >= 100 && yy <= 9999 && days >= -657434 && days <= 2958465;
    if (days < 0 && timeFraction > 0)
        return days - timeFraction;
    return days + timeFraction;
}

void dateToParts(double d, int *y, int *m, int *day, int *h, int *mi, int *s)
{
    double whole = std::trunc(d);
    double frac = std::fabs(d - whole);
    int secs = int(std::llround(frac * 86400.0));
    if (secs >= 86400) {
        secs -= 86400;
        whole += d < 0 ? -1 : 1;
    }
    civilFromDays(int(whole) + kOleEpoch, y, m, day);
    if (h)
        *h = secs / 3600;
    if (mi)
        *mi = secs / 60 % 60;
    if (s)
        *s = secs % 60;
}

QDate qdateOf(double d)
{
    int y, m, day;
    dateToParts(d, &y, &m, &day, nullptr, nullptr, nullptr);
    return QDate(y, m, day);
}

double oleFromDateTime(const QDateTime &dt)
{
    QDate date = dt.date();
    QTime t = dt.time();
    double frac = (t.msecsSinceStartOfDay() / 1000.0) / 86400.0;
    return dateFromParts(date.year(), date.month(), date.day(), frac);
}

// The locale's short date with a four-digit year, as the system's short date shows it.
QString shortDateFormat()
{
    static const QString f = [] {
        QString fmt = scriptLocale().dateFormat(QLocale::ShortFormat);
        if (!fmt.contains(QStringLiteral("yyyy")))
            fmt.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        return fmt;
    }();
    return f;
}

// The locale's time with seconds and without a time zone.
QString longTimeFormat()
{
    static const QString f = [] {
        QString fmt = scriptLocale().timeFormat(QLocale::LongFormat);
        fmt.remove(QRegularExpression(QStringLiteral("\\s*t+")));
        return fmt.trimmed();
    }();
    return f;
}

QString formatDate(double d)
{
    int y, m, day, h, mi, s;
    dateToParts(d, &y, &m, &day, &h, &mi, &s);
    const bool hasDate = std::trunc(d) != 0;
    const bool hasTime = h || mi || s;
    QString out;
    const QLocale &loc = scriptLocale();
    if (hasDate) {
        if (localeIsUs())
            out = QStringLiteral("%1/%2/%3").arg(m).arg(day).arg(y);
        else
            out = loc.toString(QDate(y, m, day), shortDateFormat());
    }
    if (hasTime || !hasDate) {
        if (!out.isEmpty())
            out += u' ';
        if (localeIsUs()) {
            int h12 = h % 12 == 0 ? 12 : h % 12;
            out += QStringLiteral("%1:%2:%3 %4")
                       .arg(h12)
                       .arg(mi, 2, 10, QLatin1Char('0'))
                       .arg(s, 2, 10, QLatin1Char('0'))
                       .arg(h < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
        } else {
            out += loc.toString(QTime(h, mi, s), longTimeFormat());
        }
    }
    return out;
}

static int monthFromName(const QString &word)
{
    static const char *names[] = {"january",   "february", "march",    "april",
                                  "may",       "june",     "july",     "august",
                                  "september", "october",  "november", "december"};
    if (word.size() < 3)
        return 0;
    for (int i = 0; i < 12; ++i)
        if (QString::fromLatin1(names[i]).startsWith(word))
            return i + 1;
    const QLocale &loc = scriptLocale();
    for (int i = 1; i <= 12; ++i)
        if (loc.monthName(i).toLower() == word ||
            loc.monthName(i, QLocale::ShortFormat).toLower() == word)
            return i;
    return 0;
}

bool parseDateText(const QString &textIn, double *out, bool literal)
{
    QString text = textIn.trimmed().toLower();
    if (text.isEmpty())
        return false;
    // time part
    static const QRegularExpression timeRe(
        QStringLiteral("(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(am|pm|a|p)?"));
    static const QRegularExpression ampmOnlyRe(QStringLiteral("\\b(\\d{1,2})\\s*(am|pm)\\b"));
    double timeFrac = 0;
    bool hasTime = false;
    auto m = timeRe.match(text);
    int hh = 0, mm = 0, ss = 0;
    QString ampm;
    if (m.hasMatch()) {
        hh = m.captured(1).toInt();
        mm = m.captured(2).toInt();
        ss = m.captured(3).toInt();
        ampm = m.captured(4);
        text.remove(m.capturedStart(), m.capturedLength());
        hasTime = true;
    } else if (auto m2 = ampmOnlyRe.match(text); m2.hasMatch()) {
        hh = m2.captured(1).toInt();
        ampm = m2.captured(2);
        text.remove(m2.capturedStart(), m2.capturedLength());
        hasTime = true;
    }
    if (hasTime) {
        if (!ampm.isEmpty()) {
            if (hh < 1 || hh > 12)
                return false;
            if (ampm.startsWith(u'p') && hh != 12)
                hh += 12;
            else if (ampm.startsWith(u'a') && hh == 12)
                hh = 0;
        }
        if (hh > 23 || mm > 59 || ss > 59)
            return false;
        timeFrac = (hh * 3600 + mm * 60 + ss) / 86400.0;
    }
    // date part: numbers and at most one month name
    QList<int> nums;
    QList<int> numLens;
    int monthName = 0;
    const int n = int(text.size());
    for (int i = 0; i < n;) {
        QChar c = text[i];
        if (c.isDigit()) {
            int j = i;
            while (j < n && text[j].isDigit())
                ++j;
            if (j - i > 4)
                return false;
            nums.append(text.mid(i, j - i).toInt());
            numLens.append(j - i);
            i = j;
        } else if (c.isLetter()) {
            int j = i;
            while (j < n && text[j].isLetter())
                ++j;
            int mo = monthFromName(text.mid(i, j - i));
            if (mo == 0 || monthName != 0)
                return false;
            monthName = mo;
            i = j;
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c.isSpace()) {
            ++i;
        } else {
            return false;
        }
    }
    if (nums.isEmpty() && !monthName) {
        if (!hasTime)
            return false;
        *out = timeFrac;
        return true;
    }
    int y = QDate::currentDate().year(), mo = 0, d = 0;
    auto fixYear = [](int v, int len) { return len <= 2 ? (v < 30 ? 2000 + v : 1900 + v) : v; };
    if (monthName) {
        mo = monthName;
        if (nums.size() == 1) {
            d = nums[0];
        } else if (nums.size() == 2) {
            if (numLens[0] >= 3 || nums[0] > 31) {
                y = fixYear(nums[0], numLens[0]);
                d = nums[1];
            } else {
                d = nums[0];
                y = fixYear(nums[1], numLens[1]);
            }
        } else {
            return false;
        }
    } else if (nums.size() == 3) {
        if (numLens[0] >= 3 || nums[0] > 31) {
            y = fixYear(nums[0], numLens[0]);
            mo = nums[1];
            d = nums[2];
        } else if (literal || localeIsUs()) {
            mo = nums[0];
            d = nums[1];
            y = fixYear(nums[2], numLens[2]);
            if (mo > 12 && d <= 12)
                std::swap(mo, d);
        } else {
            d = nums[0];
            mo = nums[1];
            y = fixYear(nums[2], numLens[2]);
            if (mo > 12 && d <= 12)
                std::swap(mo, d);
        }
    } else if (nums.size() == 2) {
        if (literal || localeIsUs()) {
            mo = nums[0];
            d = nums[1];
        } else {
            d = nums[0];
            mo = nums[1];
        }
        if (mo > 12 && d <= 12)
            std::swap(mo, d);
    } else {
        return false;
    }
    if (mo < 1 || mo > 12 || d < 1 || y < 100 || y > 9999)
        return false;
    if (d > QDate(y, mo, 1).daysInMonth())
        return false;
    *out = dateFromParts(y, mo, d, timeFrac);
    return true;
}

double toDouble(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::Empty:
        return 0;
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
    case VType::Boolean:
        return v.intValue();
    case VType::Single:
    case VType::Double:
    case VType::Date:
        return v.dblValue();
    case VType::Currency:
        return double(v.curValue()) / 10000.0;
    case VType::String: {
        double d;
        if (parseNumber(v.strRef(), &d))
            return d;
        throwError(err::TypeMismatch);
    }
    case VType::Null:
        throwError(err::InvalidUseOfNull);
    default:
        throwError(err::TypeMismatch);
    }
}

static int roundToRange(double d, double lo, double hi)
{
    double r = roundHalfEven(d);
    if (!(r >= lo && r <= hi))
        throwError(err::Overflow);
    return int(r);
}

int toLong(const Value &vin)
{
    const Value &v = vin.deref();
    if (v.isIntegral())
        return v.intValue();
    return roundToRange(toDouble(v), -2147483648.0, 2147483647.0);
}

int toInteger(const Value &vin)
{
    const Value &v = vin.deref();
    if (v.type() == VType::Integer || v.type() == VType::Byte || v.type() == VType::Boolean)
        return v.intValue();
    return roundToRange(toDouble(v), -32768.0, 32767.0);
}

bool toBool(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::Boolean:
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
        return v.intValue() != 0;
    case VType::Empty:
        return false;
    case VType::String: {
        const QString &s = v.strRef();
        if (s.compare(u"true", Qt::CaseInsensitive) == 0 ||
            s.compare(u"#true#", Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(u"false", Qt::CaseInsensitive) == 0 ||
            s.compare(u"#false#", Qt::CaseInsensitive) == 0)
            return false;
        return toDouble(v) != 0;
    }
    default:
        return toDouble(v) != 0;
    }
}

int64_t toCurrency(const Value &vin)
{
    const Value &v = vin.deref();
    if (v.type() == VType::Currency)
        return v.curValue();
    double d = roundHalfEven(toDouble(v) * 10000.0);
    if (!(std::fabs(d) < 9.2233720368547e18))
        throwError(err::Overflow);
    return int64_t(d);
}

double toDate(const Value &vin)
{
    const Value &v = vin.deref();
    if (v.type() == VType::Date)
        return v.dblValue();
    if (v.type() == VType::String) {
        double d;
        if (parseDateText(v.strRef(), &d))
            return d;
        if (parseNumber(v.strRef(), &d))
            return d;
        throwError(err::TypeMismatch);
    }
    double d = toDouble(v);
    if (d < -657434.0 || d > 2958465.999999)
        throwError(err::Overflow);
    return d;
}

QString toStr(const Value &vin)
{
    const Value &v = vin.deref();
    switch (v.type()) {
    case VType::String:
        return v.strRef();
    case VType::Empty:
        return QString();
    case VType::Integer:
    case VType::Long:
    case VType::Byte:
        return QString::number(v.intValue());
    case VType::Boolean:
        return v.intValue() ? QStringLiteral("True") : QStringLiteral("False");
    case VType::Double:
        return formatDouble(v.dblValue());
    case VType::Single:
        return formatDouble(v.dblValue(), 7);
    case VType::Currency:
        return formatCurrency(v.curValue());
    case VType::Date:
        return formatDate(v.dblValue());
    case VType::Null:
        throwError(err::InvalidUseOfNull);
    case VType::Error:
        return QStringLiteral("Error %1").arg(v.intValue());
    default:
        throwError(err::TypeMismatch);
    }
}

} // namespace quillora::vbs
