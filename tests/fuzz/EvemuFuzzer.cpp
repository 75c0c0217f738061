// The evemu recording reader, fuzzed: any text. Properties: every line that
// is neither blank nor a comment is either taken or reported once, by its
// own line number; and every event taken, written back in evemu's own form,
// reads as the same event.
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <set>

#include "tablet/evdev/EvemuRecording.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const EvemuRecording r = EvemuRecording::Parse(text, QStringLiteral("f"));

    std::set<qsizetype> reported;
    for (const QString& error : r.errors) {
        FUZZ_CHECK(error.startsWith(QStringLiteral("f:")));
        const qsizetype line = error.section(QLatin1Char(':'), 1, 1).toLongLong();
        FUZZ_CHECK(line >= 1);
        FUZZ_CHECK(reported.insert(line).second);
    }
    for (const EvemuRecording::Event& e : r.events) {
        FUZZ_CHECK(e.timeUs >= 0);
        const QString line = QStringLiteral("E: %1.%2 %3 %4 %5")
                                 .arg(e.timeUs / 1000000)
                                 .arg(e.timeUs % 1000000, 6, 10, QLatin1Char('0'))
                                 .arg(e.type, 4, 16, QLatin1Char('0'))
                                 .arg(e.code, 4, 16, QLatin1Char('0'))
                                 .arg(e.value);
        const EvemuRecording again = EvemuRecording::Parse(line, QStringLiteral("g"));
        FUZZ_CHECK(again.errors.empty() && again.events.size() == 1);
        const EvemuRecording::Event& back = again.events.front();
        FUZZ_CHECK(back.timeUs == e.timeUs && back.type == e.type && back.code == e.code &&
                   back.value == e.value);
    }
    return 0;
}
