// The settings file, fuzzed: any file content, then one key written.
// Properties: the key reads back as written (blanks around it and one pair
// of matching quotes dropped, as the profile functions read); every other
// line keeps its bytes and its place; a key the format cannot hold leaves
// the file's bytes alone.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "FuzzCheck.h"
#include "shell/IniFile.h"

namespace {

// Under /dev/shm where there is one: the writer syncs every file it
// replaces, which costs nothing there.
const QString& ScratchFile() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
        return std::make_unique<QTemporaryDir>(base + QStringLiteral("/kalvor-fuzz-XXXXXX"));
    }();
    static const QString path = dir->filePath(QStringLiteral("Kalvor.INI"));
    return path;
}

QList<QByteArray> Lines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.append(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.append(bytes.mid(start));
    return lines;
}

// The new lines are the old ones with one line replaced, one inserted, or a
// header and a key appended at the end.
bool OneLineEdit(const QList<QByteArray>& before, const QList<QByteArray>& after) {
    qsizetype p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
    auto sameTail = [&](qsizetype from, qsizetype shift) {
        for (qsizetype i = from; i < before.size(); ++i) {
            if (before[i] != after[i + shift]) return false;
        }
        return true;
    };
    if (after.size() == before.size()) return p == before.size() || sameTail(p + 1, 0);
    if (after.size() == before.size() + 1) return sameTail(p, 1);
    return after.size() == before.size() + 2 && p == before.size();
}

QString AsRead(QString value) {
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0) value.truncate(nul);
    while (!value.isEmpty() && (value.front() == u' ' || value.front() == u'\t')) value.remove(0, 1);
    while (!value.isEmpty() && (value.back() == u' ' || value.back() == u'\t')) value.chop(1);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const QString section = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const QString key = QString::fromStdString(input.ConsumeRandomLengthString(24));
    const QString value = QString::fromStdString(input.ConsumeRandomLengthString(48));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray content(rest.data(), static_cast<qsizetype>(rest.size()));

    const QString& path = ScratchFile();
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(content) == content.size());
    }
    IniFile ini(path);
    (void)ini.Read(section, key);

    const bool written = ini.Write(section, key, value);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    if (!written) {
        FUZZ_CHECK(after == content);
        return 0;
    }
    FUZZ_CHECK(OneLineEdit(Lines(content), Lines(after)));
    const std::optional<QString> back = ini.Read(section, key);
    FUZZ_CHECK(back && *back == AsRead(value));

    // Written again with the same value, nothing changes.
    FUZZ_CHECK(ini.Write(section, key, value));
    QFile again(path);
    FUZZ_CHECK(again.open(QIODevice::ReadOnly) && again.readAll() == after);
    return 0;
}
