#include "grid/FilterKey.h"

namespace {

// Half-width katakana, U+FF61 to U+FF9F, are single bytes 0xA1 to 0xDF in
// the Japanese ANSI code page.
constexpr char16_t kHalfKanaFirst = 0xFF61;
constexpr char16_t kHalfKanaLast = 0xFF9F;
constexpr int kHalfKanaFirstByte = 0xA1;
constexpr int kHalfKanaLastByte = 0xDF;

bool IsExtraOfKind(int code, FilterKind kind) {
    switch (static_cast<int>(kind)) {
    case 1:
    case 3:
        return code == '-';
    case 4:
        return code == '/';
    case 5:
        return code == '/' || code == ':' || code == ' ';
    default:
        return false;
    }
}

}  // namespace

int FilterKey(int code, FilterKind kind) {
    if (kind == FilterKind::Anything) {
        return code;
    }
    if (IsExtraOfKind(code, kind)) {
        return code;
    }
    // Control codes (Backspace among them) and every negative code, that is
    // double-byte characters from an input method, pass as well.
    if ((code >= '0' && code <= '9') || code < 32 || code == '.') {
        return code;
    }
    return 0;
}

int CharCode(QChar ch) {
    const char16_t unit = ch.unicode();
    if (unit <= 0x7F) {
        return unit;
    }
    if (unit >= kHalfKanaFirst && unit <= kHalfKanaLast) {
        return kHalfKanaFirstByte + (unit - kHalfKanaFirst);
    }
    // Everything else takes two bytes (or none) in the code page. Minus the
    // UTF-16 unit keeps the code negative and distinct per character; only
    // its sign carries meaning.
    return -static_cast<int>(unit);
}

QChar CodeChar(int code) {
    if (code >= 0 && code <= 0x7F) {
        return QChar(static_cast<char16_t>(code));
    }
    if (code >= kHalfKanaFirstByte && code <= kHalfKanaLastByte) {
        return QChar(static_cast<char16_t>(kHalfKanaFirst + (code - kHalfKanaFirstByte)));
    }
    return {};
}

QString FilterText(const QString& text, FilterKind kind) {
    if (kind == FilterKind::Anything) {
        return text;
    }
    QString kept;
    kept.reserve(text.size());
    for (const QChar ch : text) {
        const int code = CharCode(ch);
        // A control code is a key command when typed (Backspace), never text:
        // pasted tabs and line ends must not land in a one-line number box.
        if (code >= 0 && code < 32) {
            continue;
        }
        if (FilterKey(code, kind) != 0) {
            kept.append(ch);
        }
    }
    return kept;
}
