#include "grid/FilterKey.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A kind by the design's number, the kinds no box uses among them.
FilterKind Kind(int design) { return static_cast<FilterKind>(design); }

// Which characters each kind admits, beyond what every kind but 0 admits.
struct KindCase {
    int kind;
    const char* extras;
};

const KindCase kKinds[] = {
    {1, "-"}, {2, ""}, {3, "-"}, {4, "/"}, {5, "/: "}, {6, ""}, {-1, ""}, {99, ""},
};

TEST(FilterKey, admits_digits_point_control_codes_and_the_extras_of_each_kind) {
    for (const auto& k : kKinds) {
        const std::string extras = k.extras;
        for (int code = 0; code < 128; ++code) {
            const bool common = (code >= '0' && code <= '9') || code == '.' || code < 32;
            const bool extra = code >= 32 && extras.find(static_cast<char>(code)) != std::string::npos;
            EXPECT_EQ(FilterKey(code, Kind(k.kind)), common || extra ? code : 0)
                << "kind " << k.kind << " code " << code;
        }
    }
}

TEST(FilterKey, passes_double_byte_codes_and_drops_half_width_katakana) {
    for (int kind : {1, 2, 3, 4, 5, 7}) {
        EXPECT_EQ(FilterKey(-32096, Kind(kind)), -32096);
        EXPECT_EQ(FilterKey(CharCode(QChar(0x30A2)), Kind(kind)), CharCode(QChar(0x30A2)));
        EXPECT_EQ(FilterKey(0xB1, Kind(kind)), 0);
    }
}

TEST(FilterKey, kind_0_lets_every_code_through) {
    for (int code : {-5, 0, 8, 32, int{'a'}, int{'-'}, 0xB1, 255}) {
        EXPECT_EQ(FilterKey(code, FilterKind::Anything), code);
    }
}

TEST(CharCode, gives_single_byte_characters_their_code_and_others_a_negative_one) {
    EXPECT_EQ(CharCode(QLatin1Char('A')), 65);
    EXPECT_EQ(CharCode(QLatin1Char('7')), '7');
    EXPECT_EQ(CharCode(QChar(8)), 8);
    EXPECT_EQ(CharCode(QChar(0x7F)), 0x7F);
    EXPECT_EQ(CharCode(QChar(0xFF61)), 0xA1);  // ｡
    EXPECT_EQ(CharCode(QChar(0xFF71)), 0xB1);  // ｱ
    EXPECT_EQ(CharCode(QChar(0xFF9F)), 0xDF);  // ﾟ
    EXPECT_LT(CharCode(QChar(0xFF10)), 0);     // full-width 0
    EXPECT_LT(CharCode(QChar(0x6F22)), 0);     // 漢
    EXPECT_LT(CharCode(QChar(0x3042)), 0);     // あ
    EXPECT_LT(CharCode(QChar(0xFF60)), 0);     // just below the half-width block
    EXPECT_LT(CharCode(QChar(0xFFA0)), 0);     // just above it
    EXPECT_LT(CharCode(QChar(0xE9)), 0);       // é
}

TEST(CodeChar, gives_back_the_character_of_a_positive_code) {
    for (char16_t unit : {u'A', u'0', u'.', u'\b', u'\uFF61', u'\uFF71', u'\uFF9F'}) {
        EXPECT_EQ(CodeChar(CharCode(QChar(unit))), QChar(unit));
    }
}

TEST(FilterText, drops_from_pasted_text_what_the_key_filter_would_drop) {
    EXPECT_EQ(FilterText(QStringLiteral("1,234.5\tx\r\n-6"), FilterKind::Number),
              QStringLiteral("1234.56"));
    EXPECT_EQ(FilterText(QStringLiteral("abc"), FilterKind::Number), QString());
    EXPECT_EQ(FilterText(QStringLiteral("-3"), Kind(1)), QStringLiteral("-3"));
    EXPECT_EQ(FilterText(QStringLiteral("12:30 1/2"), Kind(5)), QStringLiteral("12:30 1/2"));
    EXPECT_EQ(FilterText(QStringLiteral("12:30 1/2"), Kind(4)), QStringLiteral("12301/2"));
}

TEST(FilterText, keeps_double_byte_characters_including_surrogate_pairs) {
    const QString typed = QStringLiteral("１２あ") + QString::fromUcs4(U"\U00020B9F");
    EXPECT_EQ(FilterText(typed + QStringLiteral("ｱ"), FilterKind::Number), typed);
}

TEST(FilterText, kind_0_keeps_the_text_as_it_is) {
    const QString text = QStringLiteral("a,b\t-\r\n");
    EXPECT_EQ(FilterText(text, FilterKind::Anything), text);
}

}  // namespace
