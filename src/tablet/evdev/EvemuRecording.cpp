#include "tablet/evdev/EvemuRecording.h"

#include <linux/input.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "files/RegularFile.h"
#include "tablet/RecordingText.h"

namespace {

// The largest event code of any type: the code bits of a B: line beyond it
// belong to no event.
constexpr unsigned kMaxCode = KEY_MAX;

// "sec.usec" as evemu writes it (six digits after the point); fewer digits
// are read as a decimal fraction, so "1.5" is one and a half seconds.
std::optional<std::int64_t> Microseconds(const QString& token) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,12})\\.(\\d{1,6})$"));
    const QRegularExpressionMatch match = pattern.match(token);
    if (!match.hasMatch()) return std::nullopt;
    const std::int64_t seconds = match.captured(1).toLongLong();
    const std::int64_t fraction = match.captured(2).leftJustified(6, QLatin1Char('0')).toLongLong();
    return seconds * 1000000 + fraction;
}

}  // namespace

EvemuRecording EvemuRecording::Read(const QString& path, QString* refusal) {
    // The operator names it: a link to a regular file is fine.
    const FileReadResult read = ReadRegularFile(path, kMaxBytes, Links::Follow);
    if (!read.Ok()) {
        EvemuRecording empty;
        empty.errors.push_back(
            QStringLiteral("%1: cannot read recording: %2").arg(path, read.reason));
        if (refusal != nullptr) *refusal = read.reason;
        return empty;
    }
    return Parse(QString::fromUtf8(read.bytes), path);
}

EvemuRecording EvemuRecording::Parse(const QString& text, const QString& sourceName) {
    EvemuRecording r;
    r.source = sourceName;
    ForEachRecordingLine(text, sourceName, r.errors,
                         [&r](const QString& line) { return r.TakeLine(line); });
    return r;
}

QString EvemuRecording::TakeLine(const QString& line) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    if (line.size() < 2 || line[1] != QLatin1Char(':'))
        return QStringLiteral("not a line of an evemu recording");
    const char16_t kind = line[0].unicode();
    QString rest = line.mid(2);
    if (kind == u'N') {
        // The name is the rest of the line, "#" included.
        if (name.isEmpty()) name = rest.trimmed();
        return {};
    }
    const qsizetype comment = rest.indexOf(QLatin1Char('#'));
    if (comment >= 0) rest.truncate(comment);
    const QStringList f = rest.split(blanks, Qt::SkipEmptyParts);
    switch (kind) {
        case u'I':
            return TakeIdentity(f);
        case u'P': {
            bool ok = f.size() == 8;
            for (int i = 0; ok && i < 8; ++i) ok = HexNumber(f[i], 0xff).has_value();
            return ok ? QString() : QStringLiteral("P: needs 8 bytes in hex");
        }
        case u'B':
            return TakeCodeBits(f);
        case u'A':
            return TakeAxis(f);
        case u'L':
        case u'S':
            if (f.size() != 2 || !HexNumber(f[0], kMaxCode) || !DecimalInt32(f[1]))
                return QStringLiteral("%1: needs a code in hex and a state").arg(QChar(kind));
            return {};
        case u'E':
            return TakeEvent(f);
        default:
            return QStringLiteral("not a line of an evemu recording");
    }
}

QString EvemuRecording::TakeIdentity(const QStringList& f) {
    std::optional<unsigned> id[4];
    bool ok = f.size() == 4;
    for (int i = 0; ok && i < 4; ++i) ok = (id[i] = HexNumber(f[i], 0xffff)).has_value();
    if (!ok) return QStringLiteral("I: needs bus, vendor, product and version in hex");
    bus = static_cast<std::uint16_t>(*id[0]);
    vendor = static_cast<std::uint16_t>(*id[1]);
    product = static_cast<std::uint16_t>(*id[2]);
    version = static_cast<std::uint16_t>(*id[3]);
    return {};
}

QString EvemuRecording::TakeCodeBits(const QStringList& f) {
    std::optional<unsigned> bytes[9];
    bool ok = f.size() == 9 && (bytes[0] = HexNumber(f[0], EV_MAX)).has_value();
    for (int i = 1; ok && i < 9; ++i) ok = (bytes[i] = HexNumber(f[i], 0xff)).has_value();
    if (!ok) return QStringLiteral("B: needs an event type and 8 bytes in hex");
    const auto type = static_cast<std::uint16_t>(*bytes[0]);
    const unsigned first = static_cast<unsigned>(bitLines_[type]++) * 64;
    for (unsigned byte = 0; byte < 8; ++byte) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            const unsigned code = first + byte * 8 + bit;
            if ((*bytes[byte + 1] >> bit & 1u) != 0 && code <= kMaxCode)
                codes_.insert(std::uint32_t{type} << 16 | code);
        }
    }
    return {};
}

QString EvemuRecording::TakeAxis(const QStringList& f) {
    // Recordings before format 1.2 have no resolution.
    const std::optional<unsigned> code = f.isEmpty() ? std::nullopt : HexNumber(f[0], ABS_MAX);
    std::optional<std::int32_t> n[5];
    bool ok = code && (f.size() == 5 || f.size() == 6);
    for (qsizetype i = 1; ok && i < f.size(); ++i) ok = (n[i - 1] = DecimalInt32(f[i])).has_value();
    if (!ok) {
        return QStringLiteral(
            "A: needs an axis code in hex, then min, max, fuzz, flat and resolution");
    }
    if (*n[0] > *n[1]) return QStringLiteral("A: the minimum is above the maximum");
    axes_[static_cast<std::uint16_t>(*code)] = Axis{*n[0], *n[1], *n[2], *n[3], n[4].value_or(0)};
    return {};
}

QString EvemuRecording::TakeEvent(const QStringList& f) {
    const std::optional<std::int64_t> time = f.size() == 4 ? Microseconds(f[0]) : std::nullopt;
    const std::optional<unsigned> type = time ? HexNumber(f[1], EV_MAX) : std::nullopt;
    const std::optional<unsigned> code = type ? HexNumber(f[2], kMaxCode) : std::nullopt;
    const std::optional<std::int32_t> value = code ? DecimalInt32(f[3]) : std::nullopt;
    if (!value) {
        return QStringLiteral(
            "E: needs seconds.microseconds, type and code in hex, and a decimal value");
    }
    events.push_back(
        Event{*time, static_cast<std::uint16_t>(*type), static_cast<std::uint16_t>(*code), *value});
    return {};
}

bool EvemuRecording::Has(std::uint16_t type, std::uint16_t code) const {
    return codes_.count(std::uint32_t{type} << 16 | code) != 0;
}

std::optional<EvemuRecording::Axis> EvemuRecording::AbsAxis(std::uint16_t code) const {
    const auto it = axes_.find(code);
    if (it == axes_.end()) return std::nullopt;
    return it->second;
}

TabletAxes EvemuRecording::Axes() const {
    TabletAxes axes;
    if (const auto x = AbsAxis(ABS_X))
        axes.x = {x->minimum, x->maximum, static_cast<double>(x->resolution)};
    if (const auto y = AbsAxis(ABS_Y))
        axes.y = {y->minimum, y->maximum, static_cast<double>(y->resolution)};
    return axes;
}

QString EvemuRecording::NothingToPlay() const {
    if (events.empty()) return QStringLiteral("イベントがありません");
    const bool framed = std::any_of(events.begin(), events.end(), [](const Event& e) {
        return e.type == EV_SYN && e.code == SYN_REPORT;
    });
    if (!framed) return QStringLiteral("SYN_REPORT がなく、点になりません");
    // An axis the header describes wrongly was skipped as a bad line: one
    // that is there must be whole.
    for (const std::uint16_t code : {std::uint16_t{ABS_X}, std::uint16_t{ABS_Y}}) {
        if (Has(EV_ABS, code) && !AbsAxis(code))
            return QStringLiteral("X・Y 軸の範囲が正しくありません");
    }
    return {};
}
