#include "tablet/RecordingText.h"

#include <QRegularExpression>
#include <limits>

namespace {

bool Only(const QString& token, bool hex) {
    if (token.isEmpty()) return false;
    for (qsizetype i = 0; i < token.size(); ++i) {
        const char16_t c = token[i].unicode();
        const bool digit = (c >= u'0' && c <= u'9') ||
                           (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')));
        const bool sign = !hex && i == 0 && token.size() > 1 && (c == u'-' || c == u'+');
        if (!digit && !sign) return false;
    }
    return true;
}

}  // namespace

QStringList SplitRecordingLines(const QString& text) {
    static const QRegularExpression lineEnds(QStringLiteral("\\r\\n|\\r|\\n"));
    return text.split(lineEnds);
}

std::optional<std::int32_t> DecimalInt32(const QString& token) {
    bool ok = false;
    const qlonglong value = Only(token, false) ? token.toLongLong(&ok, 10) : 0;
    if (!ok || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<unsigned> HexNumber(const QString& token, unsigned max) {
    bool ok = false;
    const qulonglong value = Only(token, true) ? token.toULongLong(&ok, 16) : 0;
    if (!ok || value > max) return std::nullopt;
    return static_cast<unsigned>(value);
}
