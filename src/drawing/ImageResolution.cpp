#include "drawing/ImageResolution.h"

#include <QFile>
#include <QIODevice>
#include <QtEndian>
#include <cmath>

#include "units/Length.h"

namespace {

constexpr double kLowestDpi = 1.0;
constexpr double kHighestDpi = 100000.0;

std::optional<QSizeF> Plausible(double x, double y) {
    const auto ok = [](double dpi) {
        return std::isfinite(dpi) && dpi >= kLowestDpi && dpi <= kHighestDpi;
    };
    if (!ok(x) || !ok(y)) return std::nullopt;
    return QSizeF(x, y);
}

// Reads exactly `size` bytes at the current position; empty when the file
// ends first.
QByteArray Take(QIODevice& file, qint64 size) {
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

quint32 Big32(const char* p) { return qFromBigEndian<quint32>(p); }
quint16 Big16(const char* p) { return qFromBigEndian<quint16>(p); }

}  // namespace

std::optional<QSizeF> ImageResolution::Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return Read(file);
}

std::optional<QSizeF> ImageResolution::Read(QIODevice& file) {
    if (!file.seek(0)) return std::nullopt;
    const QByteArray head = file.peek(8);
    if (head.startsWith("\x89PNG\r\n\x1a\n")) return ReadPng(file);
    if (head.startsWith("\xff\xd8")) return ReadJpeg(file);
    if (head.startsWith("II*") || head.startsWith(QByteArray("MM\0*", 4))) return ReadTiff(file, 0);
    if (head.startsWith("BM")) return ReadBmp(file);
    return std::nullopt;
}

std::optional<QSizeF> ImageResolution::ReadPng(QIODevice& file) {
    // Chunks follow the 8-byte signature: length, type, data, CRC. pHYs
    // must come before the first image data.
    file.seek(8);
    for (;;) {
        const QByteArray header = Take(file, 8);
        if (header.isEmpty()) return std::nullopt;
        const quint32 length = Big32(header.constData());
        const QByteArray type = header.mid(4, 4);
        if (type == "IDAT" || type == "IEND") return std::nullopt;
        if (type == "pHYs" && length == 9) {
            const QByteArray data = Take(file, 9);
            // Unit 1: pixels per metre; 0 gives only the aspect ratio.
            if (data.isEmpty() || data.at(8) != 1) return std::nullopt;
            return Plausible(Big32(data.constData()) * kMillimetresPerInch / 1000.0,
                             Big32(data.constData() + 4) * kMillimetresPerInch / 1000.0);
        }
        if (!file.seek(file.pos() + qint64(length) + 4)) return std::nullopt;
    }
}

std::optional<QSizeF> ImageResolution::ReadJpeg(QIODevice& file) {
    // Marker segments after SOI: 0xFF, the marker, a big-endian length that
    // counts itself. JFIF (APP0) says the density; EXIF (APP1) is the
    // fallback, as scanners write one or the other.
    file.seek(2);
    std::optional<QSizeF> exif;
    for (;;) {
        const QByteArray marker = Take(file, 4);
        if (marker.isEmpty() || static_cast<quint8>(marker.at(0)) != 0xff) return exif;
        const quint8 kind = static_cast<quint8>(marker.at(1));
        const quint16 length = Big16(marker.constData() + 2);
        // Start of scan: the image data follows, no more tags.
        if (kind == 0xda || length < 2) return exif;
        const qint64 next = file.pos() + length - 2;
        if (kind == 0xe0 && length >= 16) {
            const QByteArray jfif = Take(file, 12);
            if (jfif.startsWith(QByteArray("JFIF\0", 5))) {
                const int units = static_cast<quint8>(jfif.at(7));
                const double x = Big16(jfif.constData() + 8);
                const double y = Big16(jfif.constData() + 10);
                // 1: dots per inch, 2: dots per centimetre, 0: aspect only.
                if (units == 1) return Plausible(x, y);
                if (units == 2) return Plausible(x * 2.54, y * 2.54);
            }
        } else if (kind == 0xe1 && length >= 16 && !exif) {
            const QByteArray name = Take(file, 6);
            if (name == QByteArray("Exif\0\0", 6)) exif = ReadTiff(file, file.pos());
        }
        if (!file.seek(next)) return exif;
    }
}

std::optional<QSizeF> ImageResolution::ReadTiff(QIODevice& file, qint64 base) {
    if (!file.seek(base)) return std::nullopt;
    const QByteArray header = Take(file, 8);
    if (header.isEmpty()) return std::nullopt;
    const bool little = header.startsWith("II");
    const auto u16 = [little](const char* p) {
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    };
    const auto u32 = [little](const char* p) {
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    // The first directory's entries: tag, type, count, value or offset.
    if (!file.seek(base + u32(header.constData() + 4))) return std::nullopt;
    const QByteArray countBytes = Take(file, 2);
    if (countBytes.isEmpty()) return std::nullopt;
    const int count = u16(countBytes.constData());
    const QByteArray entries = Take(file, qint64(count) * 12);
    if (entries.isEmpty()) return std::nullopt;
    constexpr quint16 kXResolution = 282, kYResolution = 283, kResolutionUnit = 296;
    constexpr quint16 kRational = 5, kShort = 3;
    quint32 xAt = 0, yAt = 0;
    // Inches unless the file says otherwise.
    int unit = 2;
    for (int i = 0; i < count; ++i) {
        const char* entry = entries.constData() + i * 12;
        const quint16 tag = u16(entry);
        const quint16 type = u16(entry + 2);
        if ((tag == kXResolution || tag == kYResolution) && type == kRational) {
            (tag == kXResolution ? xAt : yAt) = u32(entry + 8);
        } else if (tag == kResolutionUnit && type == kShort) {
            unit = u16(entry + 8);
        }
    }
    const auto rational = [&](quint32 at) -> double {
        if (at == 0 || !file.seek(base + at)) return 0;
        const QByteArray value = Take(file, 8);
        if (value.isEmpty() || u32(value.constData() + 4) == 0) return 0;
        return double(u32(value.constData())) / u32(value.constData() + 4);
    };
    const double x = rational(xAt);
    const double y = yAt != 0 ? rational(yAt) : x;
    // 2: per inch, 3: per centimetre, 1: no absolute unit.
    if (unit == 2) return Plausible(x, y);
    if (unit == 3) return Plausible(x * 2.54, y * 2.54);
    return std::nullopt;
}

std::optional<QSizeF> ImageResolution::ReadBmp(QIODevice& file) {
    // BITMAPINFOHEADER and its successors (40 bytes and more) hold the
    // pixels per metre at 24 and 28 bytes into the header; the old 12-byte
    // header has none.
    file.seek(14);
    const QByteArray info = Take(file, 32);
    if (info.isEmpty() || qFromLittleEndian<quint32>(info.constData()) < 40) return std::nullopt;
    const qint32 x = qFromLittleEndian<qint32>(info.constData() + 24);
    const qint32 y = qFromLittleEndian<qint32>(info.constData() + 28);
    return Plausible(x * kMillimetresPerInch / 1000.0, y * kMillimetresPerInch / 1000.0);
}
