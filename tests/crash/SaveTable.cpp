#include "SaveTable.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// What FormatDecimals gives: whole numbers, or a point and digits with a
// leading zero left out.
std::optional<double> ProgramNumber(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^-?(\\d+|\\d*\\.\\d+)$"));
    if (!form.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok) return std::nullopt;
    return value;
}

bool Blank(const QString& text) { return text.trimmed().isEmpty(); }

}  // namespace

SaveTable SaveTable::Read(const QByteArray& bytes, const QStringList& texts) {
    SaveTable table;
    if (bytes.isEmpty()) return table;
    auto torn = [&table](const QString& why) {
        table.lines_.clear();
        table.problem_ = why;
        return table;
    };
    if (!bytes.endsWith("\r\n"))
        return torn(QStringLiteral("the last line does not end with CR LF"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return torn(QStringLiteral("not UTF-8 text"));

    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();  // after the final CR LF
    qsizetype width = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString where = QStringLiteral("line %1").arg(i + 1);
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            return torn(where + QStringLiteral(": a lone CR or LF"));
        const QStringList fields = line.split(QLatin1Char(','));
        if (width >= 0 && fields.size() != width)
            return torn(where +
                        QStringLiteral(": %1 fields, not %2").arg(fields.size()).arg(width));
        width = fields.size();
        for (const QString& field : fields) {
            if (!field.isEmpty() && !ProgramNumber(field) && !texts.contains(field))
                return torn(where + QStringLiteral(": unexpected field \"%1\"").arg(field));
        }
        table.lines_.append(fields);
    }
    // The program writes the used rectangle: something in its last line and
    // in its last column.
    if (std::all_of(table.lines_.last().cbegin(), table.lines_.last().cend(), Blank))
        return torn(QStringLiteral("the last line is blank"));
    if (std::all_of(table.lines_.cbegin(), table.lines_.cend(),
                    [](const QStringList& fields) { return Blank(fields.last()); }))
        return torn(QStringLiteral("the last column is blank"));
    return table;
}

int SaveTable::ValueCount() const {
    int count = 0;
    for (const QStringList& fields : lines_)
        count += static_cast<int>(std::count_if(fields.cbegin(), fields.cend(),
                                                [](const QString& f) { return !f.isEmpty(); }));
    return count;
}

QString SaveTable::Field(int line, int field) const {
    if (line < 1 || line > lines_.size()) return QString();
    const QStringList& fields = lines_[line - 1];
    if (field < 1 || field > fields.size()) return QString();
    return fields[field - 1];
}

QStringList SaveTable::Missing(const SaveTable& before, int decimals) const {
    // Half a unit of the last digit kept, and a little for the binary
    // fractions of both numbers.
    const double tolerance = 0.5 * std::pow(10.0, -std::max(decimals, 0));
    QStringList missing;
    for (qsizetype i = 0; i < before.lines_.size(); ++i) {
        const QStringList& fields = before.lines_[i];
        for (qsizetype j = 0; j < fields.size(); ++j) {
            const QString& was = fields[j];
            if (was.isEmpty()) continue;
            const int line = static_cast<int>(i + 1);
            const int column = static_cast<int>(j + 1);
            const QString now = Field(line, column);
            bool kept = now == was;
            if (!kept) {
                const std::optional<double> a = ProgramNumber(was);
                const std::optional<double> b = ProgramNumber(now);
                kept =
                    a && b && std::abs(*a - *b) <= tolerance + 1e-9 * std::max(1.0, std::abs(*a));
            }
            if (!kept) {
                missing.append(QStringLiteral("line %1 field %2: \"%3\" became \"%4\"")
                                   .arg(line)
                                   .arg(column)
                                   .arg(was, now));
            }
        }
    }
    return missing;
}
