#include "grid/NumberText.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace {

// Significant decimal digits a value is taken at before it is rounded; this
// is what makes 2.675 (stored as 2.67499999...) round to 2.68.
constexpr int kSignificantDigits = 15;

// The decimals combo offers 0 to 5; larger counts work the same way, up to a
// cap that keeps a wild argument from building an enormous text.
constexpr int kMaxDecimals = 30;

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

QString FormatDecimals(double value, int decimals) {
    if (!std::isfinite(value)) {
        return {};
    }
    const int d = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);

    // The value at 15 significant digits: mantissa digits m1..m15 and a
    // decimal exponent e, value = m1.m2...m15 x 10^e. std::to_chars never
    // looks at the locale, unlike printf.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, kSignificantDigits - 1);
    if (result.ec != std::errc()) {
        return {};
    }
    std::string mantissa;
    const char* p = buffer;
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') {
            mantissa.push_back(*p);
        }
    }
    int exponent = 0;
    if (p != result.ptr) {
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, exponent);
    }
    // Taken at 15 digits, the largest doubles round up past the largest
    // double: their text would read back as infinity, and a cell that cannot
    // be read back would be lost to the next recovery. Such a value gets no
    // text, as a value that is not finite gets none.
    if (exponent >= std::numeric_limits<double>::max_exponent10) {
        const std::string rounded = mantissa.substr(0, 1) + "." + mantissa.substr(1) + "e" +
                                    std::to_string(exponent);
        double back = 0;
        const auto [end, ec] = std::from_chars(rounded.data(), rounded.data() + rounded.size(), back);
        if (ec != std::errc() || !std::isfinite(back)) {
            return {};
        }
    }

    // The value in units of 10^-d is the mantissa times 10^shift.
    const int shift = exponent - (kSignificantDigits - 1) + d;
    std::string units;
    if (shift >= 0) {
        units = mantissa + std::string(static_cast<std::size_t>(shift), '0');
    } else {
        // Keep the leading digits and round on the first one dropped; working
        // on the magnitude makes that halves away from zero.
        const int keep = kSignificantDigits + shift;
        if (keep < 0) {
            units.assign(1, '0');
        } else {
            units = mantissa.substr(0, static_cast<std::size_t>(keep));
            if (units.empty()) {
                units.assign(1, '0');
            }
            if (mantissa[static_cast<std::size_t>(keep)] >= '5') {
                Increment(units);
            }
        }
    }
    const auto firstNonZero = units.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        units.assign(1, '0');
    } else {
        units.erase(0, firstNonZero);
    }
    const bool negative = value < 0 && units != "0";

    std::string text = negative ? "-" : "";
    if (d == 0) {
        text += units;
    } else {
        const auto fraction = static_cast<std::size_t>(d);
        if (units.size() < fraction) {
            units.insert(0, fraction - units.size(), '0');
        }
        // Everything before the last d digits is the integer part; a zero
        // integer part is left out altogether (".50").
        text += units.substr(0, units.size() - fraction);
        text += '.';
        text += units.substr(units.size() - fraction);
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsFormattedDecimals(QStringView text, int decimals) {
    const int d = decimals < 0 ? 0 : (decimals > kMaxDecimals ? kMaxDecimals : decimals);
    // One pass: a recovery asks this of every saved cell.
    const char16_t* c = text.utf16();
    const qsizetype n = text.size();
    const auto isDigit = [](char16_t ch) { return ch >= u'0' && ch <= u'9'; };
    // Significant digits: from the first one that is not zero to the end.
    qsizetype significant = 0;
    const auto count = [&](char16_t digit) {
        if (significant > 0 || digit != u'0') ++significant;
    };
    qsizetype i = 0;
    const bool negative = n > 0 && c[0] == u'-';
    if (negative) ++i;
    const qsizetype integerStart = i;
    for (; i < n && isDigit(c[i]); ++i) count(c[i]);
    const qsizetype integerDigits = i - integerStart;
    if (d == 0) {
        // "0" alone, or digits that do not start with a zero.
        if (i != n || integerDigits == 0 || (integerDigits > 1 && c[integerStart] == u'0')) return false;
    } else {
        if (integerDigits > 0 && c[integerStart] == u'0') return false;
        if (i >= n || c[i] != u'.' || n - i - 1 != d) return false;
        for (qsizetype j = i + 1; j < n; ++j) {
            if (!isDigit(c[j])) return false;
            count(c[j]);
        }
    }
    if (negative && significant == 0) return false;
    return significant <= kSignificantDigits;
}

namespace {

// A plain number as this program writes it: an optional sign, digits and at
// most one "." with digits around it, nothing else.
bool IsPlainDecimal(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

std::optional<double> FiniteOrNothing(bool ok, double value) {
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> ParseNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    const QLocale locale;
    // The texts this program writes itself (cells, the calibrated length) use
    // "." whatever the locale. Where "." cannot be a group separator such a
    // text means the same in every locale, so it is read directly: faster,
    // and readable on a decimal-comma locale too.
    constexpr qsizetype kShortText = 64;
    if (trimmed.size() < kShortText && IsPlainDecimal(trimmed) &&
        locale.groupSeparator() != QLatin1String(".")) {
        char ascii[kShortText];
        qsizetype n = 0;
        for (const QChar c : trimmed) {
            if (c != u'+') ascii[n++] = static_cast<char>(c.unicode());
        }
        double value = 0;
        const auto [end, ec] = std::from_chars(ascii, ascii + n, value);
        return FiniteOrNothing(ec == std::errc() && end == ascii + n, value);
    }
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    // The locale conversion reads "nan" and "inf" as numbers and reports an
    // overflow through ok; neither is a value a cell can hold.
    if (const auto parsed = FiniteOrNothing(ok, value)) return parsed;
    // The program's own "." decimals, on a locale whose decimal point is not.
    value = QLocale::c().toDouble(trimmed, &ok);
    return FiniteOrNothing(ok, value);
}

std::optional<int> RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // Explicit rather than nearbyint, so the result does not depend on the
    // floating-point rounding mode. value - floor(value) is exact in doubles.
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5) {
        rounded = floor + 1;
    } else if (fraction == 0.5) {
        rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    }
    if (rounded < static_cast<double>(std::numeric_limits<int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

QString PlainNumber(double value) {
    if (!std::isfinite(value)) return {};
    // 15 significant digits whatever the magnitude, then no trailing zeros.
    const int whole =
        value == 0.0 ? 1 : static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::clamp(15 - whole, 0, 15);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text;
}
