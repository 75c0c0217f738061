#include "exchange/CsvFile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <utility>

#include "grid/GridModel.h"
#include "exchange/TextTable.h"

FileWriteResult WriteCsv(const GridModel& grid, const QString& path, Links links) {
    // The system code page, as every text file of the program uses: UTF-8 on
    // Linux, the ANSI code page on Windows. A character the code page cannot
    // hold is written as the encoder's replacement rather than failing the
    // whole autosave. No byte-order mark.
    return WriteFileAtomically(path, BuildTextTableBytes(grid, ','), links);
}

namespace {

// True when every CR and every LF in text is one half of a CR LF pair and
// the text ends with one (or is empty): the form the program writes, which
// SplitTextTableLines would give back unchanged.
bool EndsEveryLineWithCrLf(QStringView text) {
    if (text.isEmpty()) return true;
    if (!text.endsWith(u"\r\n")) return false;
    qsizetype from = 0;
    while (from < text.size()) {
        // Each search stops at the line's own end, so the text is read
        // about twice, by the library's vectorised search.
        const qsizetype cr = text.indexOf(u'\r', from);
        if (text.indexOf(u'\n', from) != cr + 1) return false;
        from = cr + 2;
    }
    return true;
}

}  // namespace

std::optional<QString> ReadTextTableFile(const QString& path, QString* refusal) {
    const FileReadResult read = ReadRegularFile(path, kMaxTableFileBytes, Links::Refuse);
    if (!read.Ok()) {
        if (refusal != nullptr && read.status != FileReadResult::Status::Missing)
            *refusal = read.reason;
        return std::nullopt;
    }
    QStringDecoder decoder(QStringConverter::System);
    QString decoded = decoder.decode(read.bytes);
    // The autosave as written is already in that form: a second copy of a
    // large table would only cost time and memory.
    if (EndsEveryLineWithCrLf(decoded)) return decoded;
    return SplitTextTableLines(decoded);
}

QString SplitTextTableLines(QStringView decoded) {
    // A line ends at CR LF or at a lone CR, as the program has always read
    // its files, and also at a lone LF: a file that passed through a Unix
    // editor would otherwise read as one long line and load into one cell's
    // worth of fields. Every line gets CR LF back, so a missing terminator on
    // the last line reads the same as a present one.
    QString text;
    text.reserve(decoded.size() + decoded.size() / 8 + 2);
    const QStringView all(decoded);
    qsizetype lineStart = 0;
    const qsizetype size = all.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = all[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            text += all.sliced(lineStart, i - lineStart);
            text += QLatin1String("\r\n");
            ++i;
            if (c == QLatin1Char('\r') && i < size && all[i] == QLatin1Char('\n')) {
                ++i;
            }
            lineStart = i;
        } else {
            ++i;
        }
    }
    if (lineStart < size) {
        text += all.sliced(lineStart);
        text += QLatin1String("\r\n");
    }
    return text;
}
