#include "drawing/DrawingFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

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
    return QSize(width, height < 0 ? -height : height);
}

}  // namespace

DrawingFile::Probe DrawingFile::Inspect(const QString& path) {
    Probe probe;
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        probe.error = QStringLiteral("ファイルが見つかりません。");
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
            probe.pages = reader->PageCount(path, probe.error);
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

DrawingFile::Opened DrawingFile::Open(const QString& path, int page, double untaggedDpi) {
    const Probe probe = Inspect(path);
    if (!probe.error.isEmpty()) return {nullptr, probe.error};
    if (probe.kind == Kind::Pdf) {
        if (page < 1 || page > probe.pages) {
            return {nullptr, QStringLiteral("%1 ページ目がありません（全 %2 ページ）。")
                                 .arg(page)
                                 .arg(probe.pages)};
        }
        return OpenPdf(path, page);
    }
    return OpenImage(path, probe.dpi.value_or(QSizeF(untaggedDpi, untaggedDpi)));
}

DrawingFile::Opened DrawingFile::OpenPdf(const QString& path, int page) {
    QString error;
    const PdfReader* reader = PdfReader::Load(error);
    if (reader == nullptr) return {nullptr, error};
    std::shared_ptr<const DrawingPage> opened = reader->OpenPage(path, page, error);
    return {std::move(opened), error};
}

DrawingFile::Opened DrawingFile::OpenImage(const QString& path, QSizeF dpi) {
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
        const QPixelFormat format = QImage::toPixelFormat(reader.imageFormat());
        const qint64 bits = format.bitsPerPixel() > 0 ? format.bitsPerPixel() : 32;
        const qint64 bytes = (qint64(size.width()) * bits + 31) / 32 * 4 * size.height();
        if (bytes > kMaxImageBytes) {
            return {nullptr,
                    QStringLiteral("画像が大きすぎて、メモリーに読み込めません"
                                   "（%1 × %2 ピクセル、%3 MB。読み込めるのは %4 MB までです）。")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(bytes / (1024 * 1024))
                        .arg(kMaxImageBytes / (1024 * 1024))};
        }
    }
    // Qt's own limit (256 MB) would refuse a large scan this program takes.
    reader.setAllocationLimit(static_cast<int>(kMaxImageBytes / (1024 * 1024)));
    QImage image = reader.read();
    if (image.isNull()) {
        return {nullptr,
                reader.error() == QImageReader::InvalidDataError
                    ? QStringLiteral("画像ファイルが壊れていて読めません。")
                    : QStringLiteral("画像を読み込めません（%1）。").arg(reader.errorString())};
    }
    const QSizeF dotsPerMm = dpi / kMillimetresPerInch;
    return {std::make_shared<ImagePage>(std::move(image), dotsPerMm), QString()};
}
