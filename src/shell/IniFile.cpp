#include "shell/IniFile.h"

#include "files/AtomicFile.h"
#include "files/RegularFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringConverter>
#include <QStringView>

#include <utility>

namespace {

// The file as lines without their terminators. Lines are kept as the bytes
// read, so that a write gives every line it does not touch back unchanged,
// even one that does not decode cleanly.
using Lines = QList<QByteArray>;

// CR LF, LF and a lone CR all end a line; a last line without a terminator
// still counts.
Lines SplitLines(const QByteArray& bytes) {
    Lines lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') {
            continue;
        }
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < bytes.size()) {
        lines.append(bytes.mid(start));
    }
    return lines;
}

// Each line on its own decoder: a broken byte sequence in one line cannot
// spill into the next.
QString Decode(const QByteArray& line) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(line);
}

QByteArray Encode(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && IsBlank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool SameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;   // section name or key, trimmed
    QString value;  // key lines only, trimmed, quotes not yet removed
};

ParsedLine Parse(const QByteArray& raw) {
    const QString text = Decode(raw);
    const QStringView line = TrimBlanks(text);
    ParsedLine parsed;
    if (line.startsWith(u'[')) {
        // A header without its closing bracket is neither a header nor a key.
        const qsizetype close = line.indexOf(u']');
        if (close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = TrimBlanks(line.mid(1, close - 1)).toString();
        }
        return parsed;
    }
    if (line.startsWith(u';')) {
        return parsed;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return parsed;
    }
    parsed.kind = LineKind::Key;
    parsed.name = TrimBlanks(line.left(equals)).toString();
    parsed.value = TrimBlanks(line.mid(equals + 1)).toString();
    return parsed;
}

bool IsBlankLine(const QByteArray& raw) {
    for (const char c : raw) {
        if (c != ' ' && c != '\t') {
            return false;
        }
    }
    return true;
}

// Where section and key stand. Only the first section of that name is
// searched, and the first key of that name in it wins, as with the profile
// functions; keys above the first header belong to no section.
struct Location {
    qsizetype header = -1;  // line of the section header, -1 when missing
    qsizetype end = 0;      // one past the section's last line
    qsizetype key = -1;     // line of the key, -1 when missing
};

Location Find(const Lines& lines, QStringView section, QStringView key) {
    Location found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = Parse(lines.at(i));
        if (parsed.kind == LineKind::Section) {
            if (found.header >= 0) {
                found.end = i;
                return found;
            }
            if (SameName(parsed.name, section)) {
                found.header = i;
            }
        } else if (parsed.kind == LineKind::Key && found.header >= 0 && found.key < 0 &&
                   SameName(parsed.name, key)) {
            found.key = i;
        }
    }
    found.end = lines.size();
    return found;
}

// The profile functions see C strings: whatever follows a NUL never reaches them.
QString BeforeNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

// Names and values that the line format cannot hold. Writing them would
// break the file: a line end in a value would start a line of its own (even
// a section header), a '=' in a key would move the split, a leading '[' or
// ';' would turn the key line into a header or a comment.
bool Representable(QStringView section, QStringView key, QStringView value) {
    auto hasLineEnd = [](QStringView text) { return text.contains(u'\r') || text.contains(u'\n'); };
    if (section.isEmpty() || key.isEmpty()) {
        return false;
    }
    if (hasLineEnd(section) || hasLineEnd(key) || hasLineEnd(value)) {
        return false;
    }
    if (section.contains(u']') || key.contains(u'=')) {
        return false;
    }
    return !key.startsWith(u'[') && !key.startsWith(u';');
}

std::optional<QString> ValueIn(const Lines& lines, const QString& section, const QString& key) {
    const QString sectionName = TrimBlanks(BeforeNul(section)).toString();
    const QString keyName = TrimBlanks(BeforeNul(key)).toString();
    if (sectionName.isEmpty() || keyName.isEmpty()) {
        return std::nullopt;
    }
    const Location at = Find(lines, sectionName, keyName);
    if (at.key < 0) {
        return std::nullopt;
    }
    QString value = Parse(lines.at(at.key)).value;
    // The profile read drops one pair of matching quotes around the value.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

bool SetValueIn(Lines& lines, const QString& section, const QString& key, const QString& value) {
    const QString sectionName = TrimBlanks(BeforeNul(section)).toString();
    const QString keyName = TrimBlanks(BeforeNul(key)).toString();
    const QString text = BeforeNul(value);
    if (!Representable(sectionName, keyName, text)) {
        return false;
    }
    const QByteArray keyLine = Encode(keyName + u'=' + text);
    const Location at = Find(lines, sectionName, keyName);
    if (at.key >= 0) {
        lines[at.key] = keyLine;
    } else if (at.header >= 0) {
        // After the section's last non-blank line, so that the blank lines
        // that part it from the next section stay where they are.
        qsizetype last = at.end - 1;
        while (last > at.header && IsBlankLine(lines.at(last))) {
            --last;
        }
        lines.insert(last + 1, keyLine);
    } else {
        lines.append(Encode(u'[' + sectionName + u']'));
        lines.append(keyLine);
    }
    return true;
}

QByteArray Serialize(const Lines& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

// A writable file in a directory where no temporary file can be made is
// rewritten where it stands. Should that fail half-way (a full disk), the
// previous bytes go back: they fitted before.
bool RewriteInPlace(const QString& path, const QByteArray& bytes, const QByteArray& before) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    if (file.write(bytes) == bytes.size() && file.flush()) {
        return true;
    }
    file.close();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(before);
    }
    return false;
}

}  // namespace

std::optional<QByteArray> IniFile::ReadAll() const {
    const FileReadResult read = ReadRegularFile(path_, kMaxBytes, Links::Refuse);
    problem_ = read.Ok() || read.status == FileReadResult::Status::Missing ? QString() : read.reason;
    if (!read.Ok()) return std::nullopt;
    return read.bytes;
}

std::optional<QString> IniFile::Read(const QString& section, const QString& key) const {
    if (batch_) {
        const std::optional<Lines>& lines = batch_->lines ? batch_->lines : batch_->readOnly;
        return lines ? ValueIn(*lines, section, key) : std::nullopt;
    }
    const std::optional<QByteArray> bytes = ReadAll();
    if (!bytes) {
        return std::nullopt;
    }
    return ValueIn(SplitLines(*bytes), section, key);
}

std::optional<QList<QByteArray>> IniFile::LoadForWrite() const {
    // A file we cannot read whole would lose its other lines, and one that
    // is not a regular file of our own (a link, a FIFO, a device, one far
    // too large) is left as it stands.
    const std::optional<QByteArray> bytes = ReadAll();
    if (!bytes) {
        if (KindAt(path_) == FileKind::Missing) return Lines();
        return std::nullopt;
    }
    // One we cannot write must not be replaced behind its back by a rename,
    // which only needs the directory to be writable.
    QFile existing(path_);
    if (!QFileInfo(path_).isWritable() || !existing.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return std::nullopt;
    }
    return SplitLines(*bytes);
}

bool IniFile::Store(const QList<QByteArray>& lines, const QByteArray& before) const {
    const QByteArray bytes = Serialize(lines);
    // Nothing changed: the file is not touched.
    if (bytes == before && QFile::exists(path_)) {
        return true;
    }
    const QFileInfo file(path_);
    if (KindAt(path_) == FileKind::Regular && file.isWritable() &&
        !QFileInfo(file.absolutePath()).isWritable()) {
        return RewriteInPlace(path_, bytes, before);
    }
    // Replaced whole through a temporary file, or left as it was: a full disk
    // must never leave an empty settings file behind.
    return WriteFileAtomically(path_, bytes).ok;
}

bool IniFile::Write(const QString& section, const QString& key, const QString& value) {
    if (batch_) {
        if (!batch_->lines || !SetValueIn(*batch_->lines, section, key, value)) {
            return false;
        }
        batch_->dirty = true;
        return true;
    }
    std::optional<Lines> lines = LoadForWrite();
    if (!lines) {
        return false;
    }
    const QByteArray before = Serialize(*lines);
    if (!SetValueIn(*lines, section, key, value)) {
        return false;
    }
    return Store(*lines, before);
}

void IniFile::BeginBatch() {
    if (batchDepth_++ > 0) {
        return;
    }
    batch_.emplace();
    batch_->lines = LoadForWrite();
    if (batch_->lines) {
        batch_->before = Serialize(*batch_->lines);
    } else if (const std::optional<QByteArray> bytes = ReadAll()) {
        // Readable but not writable: reads still see the file.
        batch_->readOnly = SplitLines(*bytes);
    }
}

bool IniFile::EndBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0) {
        return true;
    }
    Batch batch = std::move(*batch_);
    batch_.reset();
    if (!batch.lines) {
        return false;
    }
    return !batch.dirty || Store(*batch.lines, batch.before);
}
