#include "DefaultLocale.h"
#include "grid/NumberText.h"

#include "QStringPrinter.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

namespace {


struct FormatCase {
    double value;
    int decimals;
    const char* text;
};

const FormatCase kFormatCases[] = {
    // whole numbers, halves away from zero, at least one digit
    {0.4, 0, "0"},
    {2.6, 0, "3"},
    {987.6, 0, "988"},
    {2.5, 0, "3"},
    {-2.5, 0, "-3"},
    {0.5, 0, "1"},
    {-0.4, 0, "0"},
    {0, 0, "0"},
    {1234567, 0, "1234567"},
    // fixed decimals, integer part 0 left out
    {12.3456, 2, "12.35"},
    {0.5, 2, ".50"},
    {0, 2, ".00"},
    {3, 2, "3.00"},
    {-3.25, 1, "-3.3"},
    {0.125, 2, ".13"},
    {7, 2, "7.00"},
    {-0.5, 2, "-.50"},
    {-0.004, 2, ".00"},
    {0.004, 2, ".00"},
    {0.005, 2, ".01"},
    {0.96, 1, "1.0"},
    {9.995, 2, "10.00"},
    {99999.5, 0, "100000"},
    {1.23456, 5, "1.23456"},
    {0.000005, 5, ".00001"},
    {123.4, 3, "123.400"},
    // taken at 15 significant digits first
    {2.675, 2, "2.68"},
    {1.005, 2, "1.01"},
    {-1.005, 2, "-1.01"},
    {1.45, 1, "1.5"},
    {0.1 + 0.2, 1, ".3"},
    // large values in full digits, no exponent, no separators
    {1e20, 0, "100000000000000000000"},
    {1e20, 2, "100000000000000000000.00"},
    {-123456789012.345, 1, "-123456789012.3"},
    // out-of-range decimals
    {2.5, -1, "3"},
    {0.1234567, 7, ".1234567"},
};

TEST(FormatDecimals, writes_each_value_as_the_decimals_pattern_asks) {
    for (const auto& c : kFormatCases) {
        EXPECT_EQ(FormatDecimals(c.value, c.decimals), QString::fromLatin1(c.text))
            << "value " << c.value << " with " << c.decimals << " decimals";
    }
}

TEST(FormatDecimals, does_not_follow_the_default_locale) {
    for (const auto& locale : {QLocale(QLocale::French, QLocale::France),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::Japanese, QLocale::Japan)}) {
        DefaultLocale scoped(locale);
        EXPECT_EQ(FormatDecimals(1234.5, 2), QStringLiteral("1234.50"));
        EXPECT_EQ(FormatDecimals(-0.25, 1), QStringLiteral("-.3"));
        EXPECT_EQ(FormatDecimals(1e20, 0), QStringLiteral("100000000000000000000"));
    }
}

TEST(FormatDecimals, gives_empty_text_for_values_that_are_not_finite) {
    EXPECT_EQ(FormatDecimals(std::numeric_limits<double>::quiet_NaN(), 2), QString());
    EXPECT_EQ(FormatDecimals(std::numeric_limits<double>::infinity(), 0), QString());
}

TEST(FormatDecimals, writes_huge_and_tiny_doubles_without_exponent_but_only_readable_ones) {
    const QString huge = FormatDecimals(1.79769313486231e308, 0);
    EXPECT_EQ(huge.size(), 309);
    EXPECT_TRUE(huge.startsWith(QStringLiteral("179769313486231")));
    EXPECT_TRUE(ParseNumber(huge).has_value());
    EXPECT_EQ(FormatDecimals(std::numeric_limits<double>::denorm_min(), 5), QStringLiteral(".00000"));
    // At 15 digits the largest doubles round past the largest double: their
    // text would read back as infinity, so they get none, as infinity does.
    for (const double value : {std::numeric_limits<double>::max(), -1.7976931348623157e308,
                               std::nextafter(std::numeric_limits<double>::max(), 0.0)}) {
        for (const int decimals : {0, 2, 5}) {
            const QString text = FormatDecimals(value, decimals);
            EXPECT_TRUE(text.isEmpty() || ParseNumber(text).has_value()) << text.toStdString();
        }
    }
    EXPECT_TRUE(FormatDecimals(std::numeric_limits<double>::max(), 2).isEmpty());
}

struct ParseCase {
    const char* text;
    std::optional<double> value;
};

void ExpectParses(const ParseCase& c) {
    const auto value = ParseNumber(QString::fromUtf8(c.text));
    if (c.value) {
        ASSERT_TRUE(value.has_value()) << "text [" << c.text << "]";
        EXPECT_DOUBLE_EQ(*value, *c.value) << "text [" << c.text << "]";
    } else {
        EXPECT_FALSE(value.has_value()) << "text [" << c.text << "] gave " << value.value_or(0);
    }
}

// What every locale with "." as the decimal point and "," as the group
// separator converts.
const ParseCase kPointLocaleCases[] = {
    {"12.5", 12.5},       {" 7 ", 7.0},        {"-1", -1.0},        {"+2", 2.0},
    {".5", 0.5},          {"1e3", 1000.0},     {"1,000", 1000.0},   {"1,000.25", 1000.25},
    {"", std::nullopt},   {"   ", std::nullopt}, {"abc", std::nullopt}, {"12a", std::nullopt},
    {"nan", std::nullopt}, {"NaN", std::nullopt}, {"inf", std::nullopt}, {"-inf", std::nullopt},
    {"infinity", std::nullopt}, {"0x10", std::nullopt}, {"1e400", std::nullopt},
    {"-1e400", std::nullopt},
};

// Texts kept as they are at recovery must be exactly what formatting them
// again would give; anything else is read and formatted.
TEST(IsFormattedDecimals, accepts_only_the_formatters_own_texts) {
    const struct {
        const char* text;
        int decimals;
        bool kept;
    } cases[] = {
        {"123.45", 2, true},   {".50", 2, true},    {"-.05", 2, true},   {".00", 2, true},
        {"0", 0, true},        {"-12", 0, true},    {"123.4", 2, false}, {"0.50", 2, false},
        {"-.00", 2, false},    {"-0", 0, false},    {"007", 0, false},   {"12.", 0, false},
        {"1,234.00", 2, false}, {" 1.00", 2, false}, {"１.00", 2, false}, {"", 0, false},
        {"123456789012345.00", 2, false}, {"1234567890123.45", 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(IsFormattedDecimals(text, c.decimals), c.kept);
        if (c.kept) {
            EXPECT_EQ(FormatDecimals(*ParseNumber(text), c.decimals), text);
        }
    }
}

TEST(ParseNumber, converts_decimal_numbers_with_group_separators_in_c_english_and_japanese) {
    for (const auto& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::Japanese, QLocale::Japan)}) {
        DefaultLocale scoped(locale);
        SCOPED_TRACE(locale.name().toStdString());
        for (const auto& c : kPointLocaleCases) {
            ExpectParses(c);
        }
    }
}

TEST(ParseNumber, follows_the_default_locale_decimal_comma) {
    DefaultLocale scoped(QLocale(QLocale::French, QLocale::France));
    ExpectParses({"1,5", 1.5});
    ExpectParses({"nan", std::nullopt});
    ExpectParses({"", std::nullopt});
}

TEST(ParseNumber, reads_the_programs_own_point_decimals_on_a_decimal_comma_locale) {
    // Cells and the calibrated length are written with "." whatever the
    // locale; they must read back where the decimal point is a comma.
    {
        const DefaultLocale french(QLocale(QLocale::French, QLocale::France));
        EXPECT_EQ(ParseNumber(QStringLiteral("12.50")), 12.5);
        EXPECT_EQ(ParseNumber(QStringLiteral("400.00")), 400.0);
        EXPECT_EQ(ParseNumber(QStringLiteral("1,5")), 1.5);
    }
    {
        // Where "." groups thousands, the locale's reading comes first.
        const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(ParseNumber(QStringLiteral("1.000")), 1000.0);
        EXPECT_EQ(ParseNumber(QStringLiteral("12.50")), 12.5);
    }
}

TEST(RoundHalfEven, sends_exact_halves_to_the_even_integer) {
    const struct {
        double value;
        int rounded;
    } cases[] = {
        {2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4}, {0.5, 0},    {1.5, 2},
        {2.4, 2},   {2.6, 3},   {-2.6, -3}, {21.0, 21}, {-0.4, 0},   {2147483647.0, 2147483647},
        {-2147483648.0, -2147483647 - 1},   {2147483646.5, 2147483646},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << "value " << c.value;
    }
}

TEST(RoundHalfEven, gives_no_value_outside_the_32_bit_range) {
    EXPECT_FALSE(RoundHalfEven(2147483647.5).has_value());
    EXPECT_FALSE(RoundHalfEven(-2147483649.0).has_value());
    EXPECT_FALSE(RoundHalfEven(1e300).has_value());
    EXPECT_FALSE(RoundHalfEven(std::nan("")).has_value());
}

TEST(PlainNumber, has_no_exponent_and_no_trailing_zeros) {
    for (auto [value, text] : {std::pair{500.0, "500"},
                               {0.5, "0.5"},
                               {1e8, "100000000"},
                               {1.0 / 3.0, "0.333333333333333"},
                               {-0.0, "0"},
                               {2.5e-7, "0.00000025"}}) {
        EXPECT_EQ(PlainNumber(value), QString::fromUtf8(text)) << value;
    }
    EXPECT_EQ(PlainNumber(INFINITY), QString());
}

}  // namespace
