#include "drawing/DrawingFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <limits>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "drawing/ImagePage.h"
#include "drawing/ImageResolution.h"
#include "drawing/PdfReader.h"
#include "units/Length.h"

namespace {

// A PDF file may have bytes before its header; readers look this far.
constexpr qint64 kPdfHeaderReach = 1024;

// The error for a file that is there but no image reader takes: a format
// whose reader is missing (a TIFF without Qt's TIFF plugin) is named.
QString UnreadableImage(const QByteArray& head) {
    const auto missing = [](const char* format) {
        return !QImageReader::supportedImageFormats().contains(format);
    };
    if ((head.startsWith("II*") || head.startsWith(QByteArray("MM\0*", 4))) && missing("tiff"))
        return QStringLiteral("TIFF 画像を読む部品（Qt の TIFF プラグイン）がありません。");
    if (head.startsWith("\xff\xd8") && missing("jpeg"))
        return QStringLiteral("JPEG 画像を読む部品（Qt の JPEG プラグイン）がありません。");
    return QStringLiteral("PDF、PNG、JPEG、TIFF、BMP のどれでもないか、ファイルが壊れています。");
}

// The size a BMP file's header gives (Qt's BMP reader does not tell it
// before reading); a negative height is a picture stored top-down.
QSize BmpSize(QIODevice& file) {
    if (!file.seek(0)) return {};
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("BM")) return {};
    const qint32 width = qFromLittleEndian<qint32>(head.constData() + 18);
    const qint32 height = qFromLittleEndian<qint32>(head.constData() + 22);
    // (A height of -2^31 has no positive of its own: no size.)
    if (height == std::numeric_limits<qint32>::min()) return {};
    return QSize(width, height < 0 ? -height : height);
}

// What stands at a path that is not a drawing's file, named for what it
// is; empty for a regular file. Looked at before anything opens it: a FIFO
// opened for reading waits for a writer that never comes.
QString NotAFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return QStringLiteral("フォルダーです。図面のファイルを選んでください。");
#ifndef Q_OS_WIN
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("ファイルが見つかりません。");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("名前付きパイプ（FIFO）で、図面のファイルではありません。");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("ソケットで、図面のファイルではありません。");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("デバイスで、図面のファイルではありません。");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("通常のファイルではありません。");
    // The system's own tables (/proc, /sys) read as text made on the spot,
    // of no size on disk.
    const QString canonical = info.canonicalFilePath();
    if (canonical.startsWith(QLatin1String("/proc/")) ||
        canonical.startsWith(QLatin1String("/sys/")))
        return QStringLiteral("システムの情報を示す特殊なファイルで、図面のファイルではありません。");
#else
    if (!info.exists()) return QStringLiteral("ファイルが見つかりません。");
    if (!info.isFile()) return QStringLiteral("通常のファイルではありません。");
#endif
    if (info.size() == 0) return QStringLiteral("ファイルが空です。");
    return {};
}

// A JPEG file ends with its end-of-image marker; inside the coded data a
// 0xFF byte is always followed by 0x00 or a restart marker, so the marker
// in the file's last bytes means the picture was read to its end.
bool JpegCutShort(QIODevice& file) {
    constexpr qint64 kTail = 4096;
    const qint64 size = file.size();
    if (!file.seek(std::max<qint64>(0, size - kTail))) return false;
    return !file.read(kTail).contains("\xff\xd9");
}

}  // namespace

DrawingFile::Probe DrawingFile::Inspect(const QString& path) {
    Probe probe;
    QFile file(path);
    if (const QString why = NotAFile(path); !why.isEmpty()) {
        probe.error = why;
        return probe;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        probe.error = QStringLiteral("ファイルを読めません（%1）。").arg(file.errorString());
        return probe;
    }
    const QByteArray head = file.peek(kPdfHeaderReach);
    if (head.contains("%PDF-")) {
        probe.kind = Kind::Pdf;
        if (const PdfReader* reader = PdfReader::Load(probe.error))
            probe.document = reader->Load(path, probe.error);
        probe.pages = probe.document ? probe.document->Pages() : 0;
        return probe;
    }
    QImageReader reader(&file);
    if (!reader.canRead()) {
        probe.error = UnreadableImage(head);
        return probe;
    }
    probe.dpi = ImageResolution::Read(file);
    return probe;
}

DrawingFile::Opened DrawingFile::Open(const QString& path, const Probe& probe, int page,
                                      double untaggedDpi, qint64 maxImageBytes) {
    if (!probe.error.isEmpty()) return {nullptr, probe.error};
    if (probe.kind == Kind::Pdf) {
        if (page < 1 || page > probe.pages) {
            return {nullptr, QStringLiteral("%1 ページ目がありません（全 %2 ページ）。")
                                 .arg(page)
                                 .arg(probe.pages)};
        }
        return OpenPdf(probe, page);
    }
    return OpenImage(path, probe.dpi.value_or(QSizeF(untaggedDpi, untaggedDpi)), maxImageBytes);
}

DrawingFile::Opened DrawingFile::OpenPdf(const Probe& probe, int page) {
    QString error = QStringLiteral("PDF ファイルを読み直してください。");
    std::shared_ptr<const DrawingPage> opened =
        probe.document ? probe.document->OpenPage(page, error) : nullptr;
    if (opened) error.clear();
    return {std::move(opened), error, false};
}

qint64 DrawingFile::ImagePeakBytes(QSize size, QImage::Format format) {
    // A header may claim any size: past 2^40 pixels (a terabyte at one
    // byte each) the count would overflow and the answer is plain.
    if (qint64(size.width()) * size.height() > (qint64(1) << 40))
        return std::numeric_limits<qint64>::max();
    const auto bytes = [&](qint64 bits) {
        return (qint64(size.width()) * bits + 31) / 32 * 4 * size.height();
    };
    const int bits = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 own = bytes(bits > 0 ? bits : 32);
    // Qt's smooth scaling works on 32-bit pixels: a part of an image of
    // fewer bits is copied and then converted; a 32-bit one's part is
    // copied (the whole image, for the overview, is not).
    return bits > 0 && bits < 32 ? 2 * own + bytes(32) : 2 * own;
}

DrawingFile::Opened DrawingFile::OpenImage(const QString& path, QSizeF dpi, qint64 maxBytes) {
    if (!(dpi.width() > 0 && dpi.height() > 0))
        return {nullptr, QStringLiteral("解像度が正しくありません。")};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) size = BmpSize(file);
    }
    if (size.isValid()) {
        const qint64 bytes = ImagePeakBytes(size, reader.imageFormat());
        if (bytes > maxBytes) {
            return {nullptr,
                    QStringLiteral("画像が大きすぎて、メモリーに読み込めません"
                                   "（%1 × %2 ピクセル、表示に %3 MB 要ります。%4 MB までです）。")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(bytes / (1024 * 1024))
                        .arg(maxBytes / (1024 * 1024))};
        }
    }
    // The count above is the bound; Qt's own limit (256 MB, counted for the
    // decoded picture alone) would refuse a large scan this program takes
    // and call it broken.
    QImageReader::setAllocationLimit(static_cast<int>(maxBytes / (1024 * 1024)));
    const bool jpeg = reader.format() == "jpeg";
    QImage image = reader.read();
    if (image.isNull()) {
        return {nullptr,
                reader.error() == QImageReader::InvalidDataError
                    ? QStringLiteral("画像ファイルが壊れていて読めません。")
                    : QStringLiteral("画像を読み込めません（%1）。").arg(reader.errorString()),
                false};
    }
    bool partial = false;
    if (jpeg) {
        QFile file(path);
        partial = file.open(QIODevice::ReadOnly) && JpegCutShort(file);
    }
    const QSizeF dotsPerMm = dpi / kMillimetresPerInch;
    return {std::make_shared<ImagePage>(std::move(image), dotsPerMm), QString(), partial};
}
