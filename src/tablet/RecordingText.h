#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// What the text formats of pen recordings share (replay files, evemu
// recordings): lines end in LF, CR LF or a lone CR; blank lines and lines
// starting with "#" carry nothing; a bad line is reported by its number and
// skipped, so that reading never fails as a whole; and a number field holds
// its number and nothing else.

QStringList SplitRecordingLines(const QString& text);

// Hands `take` each line that carries something, trimmed. `take` returns why
// the line is a bad one, or an empty text when it took it; a bad line goes
// into `errors` as "source:line: reason: text", the line as written.
template <typename Take>
void ForEachRecordingLine(const QString& text, const QString& sourceName,
                          std::vector<QString>& errors, Take&& take) {
    const QStringList lines = SplitRecordingLines(text);
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString& line = lines[index];
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) continue;
        const QString reason = take(trimmed);
        if (!reason.isEmpty()) {
            errors.push_back(QStringLiteral("%1:%2: %3: %4")
                                 .arg(sourceName, QString::number(index + 1), reason, line));
        }
    }
}

// Qt's conversions stop at a NUL and report success, so that "16\0 00"
// would read as 16: these check every character first.
// An optional sign and decimal digits, within 32 bits.
std::optional<std::int32_t> DecimalInt32(const QString& token);
// Hexadecimal digits (no "0x"), at most `max`.
std::optional<unsigned> HexNumber(const QString& token, unsigned max);
