// The replay file reader, fuzzed: any text. Properties: every line that is
// neither blank nor a comment is either an event or reported once, by its
// own line number; a line taken holds nothing but its keyword, blanks and
// numbers; and the events, written back as replay lines, read as the same
// events without a report.
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <set>

#include "FuzzCheck.h"
#include "tablet/replay/ReplayPadLink.h"

namespace {

QString Written(const ReplayEvent& e) {
    switch (e.kind) {
        case ReplayEvent::Kind::Side:
            return QStringLiteral("side");
        case ReplayEvent::Kind::Wait:
            return QStringLiteral("wait %1").arg(e.waitMs);
        case ReplayEvent::Kind::Pick:
        case ReplayEvent::Kind::Stroke: {
            QString line = e.kind == ReplayEvent::Kind::Pick ? QStringLiteral("pick")
                                                             : QStringLiteral("stroke");
            for (const auto& [x, y] : e.points) line += QStringLiteral(" %1 %2").arg(x).arg(y);
            return line;
        }
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ReplayParseResult parsed = ParseReplay(text, QStringLiteral("f"));

    std::set<qsizetype> reported;
    for (const QString& error : parsed.errors) {
        FUZZ_CHECK(error.startsWith(QStringLiteral("f:")));
        const qsizetype line = error.section(QLatin1Char(':'), 1, 1).toLongLong();
        FUZZ_CHECK(line >= 1 && reported.insert(line).second);
    }

    // A line taken holds its keyword, blanks and numbers only: nothing a
    // conversion could stop at and still call a number (a NUL, say).
    static const QRegularExpression lineEnds(QStringLiteral("\\r\\n|\\r|\\n"));
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9+\\- \\t\\x0b\\x0c]*$"));
    const QStringList source = text.split(lineEnds);
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QString trimmed = source[i].trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')) || reported.count(i + 1))
            continue;
        FUZZ_CHECK(plain.match(trimmed).hasMatch());
    }

    QStringList lines;
    for (const ReplayEvent& e : parsed.events) lines << Written(e);
    const ReplayParseResult again = ParseReplay(lines.join(QLatin1Char('\n')), QStringLiteral("g"));
    FUZZ_CHECK(again.errors.empty());
    FUZZ_CHECK(again.events.size() == parsed.events.size());
    for (std::size_t i = 0; i < again.events.size(); ++i) {
        FUZZ_CHECK(again.events[i].kind == parsed.events[i].kind);
        FUZZ_CHECK(again.events[i].points == parsed.events[i].points);
        FUZZ_CHECK(again.events[i].waitMs == parsed.events[i].waitMs);
    }
    return 0;
}
