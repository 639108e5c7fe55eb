#pragma once
// Conversions between variant subtypes, number and date texts, with the locale rules of the
// language: the system locale, where C/POSIX counts as US English.

#include "value.h"

#include <QDateTime>
#include <QLocale>

namespace quillora::vbs {

class Interp;

const QLocale &scriptLocale();
bool localeIsUs(); // the locale formats dates month first with a 12-hour clock

// Scalar conversions; they raise Type mismatch (13), Overflow (6) or Invalid use of Null (94).
// Objects must have been replaced by their default value first (see Interp::scalar).
double toDouble(const Value &v);
int toLong(const Value &v);    // banker's rounding, 32-bit range
int toInteger(const Value &v); // banker's rounding, 16-bit range
bool toBool(const Value &v);
QString toStr(const Value &v);
int64_t toCurrency(const Value &v);
double toDate(const Value &v);
double roundHalfEven(double x);

// Number texts: leading/trailing blanks, sign, decimals, exponent, &H and &O forms.
bool parseNumber(const QString &text, double *out);
QString formatDouble(double d, int significant = 15);
QString formatCurrency(int64_t scaled);

// Dates are days since 30 Dec 1899, the time of day in the fraction.
bool parseDateText(const QString &text, double *out, bool literal = false);
QString formatDate(double d);
QString shortDateFormat();
QString longTimeFormat();
double dateFromParts(int y, int m, int d, double timeFraction, bool *ok = nullptr);
void dateToParts(double d, int *y, int *m, int *day, int *h, int *mi, int *s);
QDate qdateOf(double d);
double oleFromDateTime(const QDateTime &dt);
int daysFromCivil(int y, int m, int d);

} // namespace quillora::vbs
