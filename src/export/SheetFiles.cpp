#include "export/SheetFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "files/AtomicFile.h"

namespace {

// Characters no file name may hold on Windows, and control characters.
QString Tame(const QString& text) {
    QString tamed;
    for (const QChar c : text) {
        const bool bad = c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c);
        tamed += bad ? QLatin1Char('_') : c;
    }
    return tamed.trimmed();
}

}  // namespace

QStringList SheetFiles::Names(const QString& chosen, const std::vector<ExportSheet>& sheets) {
    if (sheets.size() <= 1) return {chosen};
    const QFileInfo info(chosen);
    const QString suffix = info.suffix();
    QString stem = chosen;
    if (!suffix.isEmpty()) stem.chop(suffix.size() + 1);
    const QString dot = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;

    QSet<QString> drawings;
    QSet<QString> tablets;
    for (const ExportSheet& sheet : sheets) {
        if (sheet.source == FigureSourceKind::Drawing) drawings << sheet.sourceName;
        if (sheet.source == FigureSourceKind::Tablet) tablets << sheet.sourceName;
    }

    QStringList names;
    QSet<QString> taken;
    for (const ExportSheet& sheet : sheets) {
        QString part;
        switch (sheet.source) {
            case FigureSourceKind::Drawing:
                part = QStringLiteral("p%1").arg(sheet.page);
                if (drawings.size() > 1)
                    part = Tame(QFileInfo(sheet.sourceName).completeBaseName()) + QLatin1Char('-') +
                           part;
                break;
            case FigureSourceKind::BlankPad:
                part = QStringLiteral("pad");
                break;
            case FigureSourceKind::Tablet: {
                part = QStringLiteral("tablet");
                const QString name = Tame(sheet.sourceName);
                if (tablets.size() > 1 && !name.isEmpty()) part += QLatin1Char('-') + name;
                break;
            }
        }
        QString name = stem + QLatin1Char('-') + part + dot;
        for (int n = 2; taken.contains(name.toLower()); ++n)
            name = stem + QLatin1Char('-') + part + QStringLiteral("-%1").arg(n) + dot;
        taken << name.toLower();
        names << name;
    }
    return names;
}

ExportResult SheetFiles::Write(const QString& chosen, const std::vector<ExportSheet>& sheets,
                               const std::function<QByteArray(const ExportSheet&)>& bytes) {
    ExportResult result;
    const QStringList names = Names(chosen, sheets);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const QString& name = names[static_cast<qsizetype>(i)];
        const FileWriteResult written = WriteFileAtomically(name, bytes(sheets[i]), Links::Follow);
        if (!written) {
            result.failedPath = name;
            result.reason = written.reason;
            return result;
        }
        result.written << name;
    }
    return result;
}
