#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Formats a value with `decimals` digits after the point, independent of the
// locale. decimals <= 0: rounded to a whole number, halves away from zero, at
// least one digit ("########0"). decimals 1 to 5: exactly that many digits
// after ".", halves away from zero, and an integer part of 0 left out
// (".50"). The value is first taken at 15 significant digits, so 2.675 with
// two decimals gives 2.68. A result that rounds to zero carries no sign.
// Large values are written in full digits, never with an exponent. More than
// 5 decimals work the same way (up to 30). A value that is not finite gives
// the empty text.
QString FormatDecimals(double value, int decimals);

// True when text is exactly what FormatDecimals gives for the number it
// reads as, with these decimals: an optional "-" (never on zero), digits
// without a leading zero (none at all before the point when decimals > 0),
// and exactly `decimals` digits after a ".", at most 15 significant digits.
// Such a text can be kept as it is instead of read and formatted again.
bool IsFormattedDecimals(QStringView text, int decimals);

// The ordinary locale-aware conversion of a text to a number: leading and
// trailing spaces are accepted, and so is the locale's group separator
// ("1,000" is 1000 on a Japanese or English locale). Only finite decimal
// numbers convert: empty text, letters, "nan", "inf", hexadecimal and values
// that overflow a double give no value. The program's own texts, written
// with "." whatever the locale, read back on a decimal-comma locale too.
std::optional<double> ParseNumber(QStringView text);

// A number as a settings value or a box's text: plain decimals without an
// exponent, without trailing zeros, exact to 15 significant digits, "."
// whatever the locale; "" for a number that is not finite. ParseNumber reads
// it back.
QString PlainNumber(double value);

// Rounds to the nearest integer, a value exactly halfway going to the even
// one. No value for a number outside the 32-bit range.
std::optional<int> RoundHalfEven(double value);
