// Drawings read from their files: sizes on paper from a PDF's points and an
// image's own resolution tag, and the tags as each format keeps them.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <optional>

#include "drawing/DrawingFile.h"
#include "drawing/ImageResolution.h"

namespace {

// Bytes in the order a format keeps them.
struct Bytes {
    bool big = true;
    QByteArray data;
    Bytes& Raw(const QByteArray& raw) {
        data += raw;
        return *this;
    }
    Bytes& U8(quint8 v) { return Raw(QByteArray(1, static_cast<char>(v))); }
    Bytes& U16(quint16 v) {
        return big ? U8(quint8(v >> 8)).U8(quint8(v)) : U8(quint8(v)).U8(quint8(v >> 8));
    }
    Bytes& U32(quint32 v) {
        return big ? U16(quint16(v >> 16)).U16(quint16(v)) : U16(quint16(v)).U16(quint16(v >> 16));
    }
};

QByteArray Png(std::optional<int> unit, quint32 perUnit) {
    Bytes b;
    b.Raw("\x89PNG\r\n\x1a\n").U32(13).Raw("IHDR").U32(10).U32(10).Raw(QByteArray(5, 0)).U32(0);
    if (unit) b.U32(9).Raw("pHYs").U32(perUnit).U32(perUnit).U8(quint8(*unit)).U32(0);
    return b.U32(0).Raw("IDAT").U32(0).data;
}

// A TIFF structure: its first directory holds the resolution across (a
// rational) and, when given, its unit.
QByteArray Tiff(bool big, std::optional<quint16> unit, quint32 num, quint32 den) {
    Bytes b{big, {}};
    const quint16 entries = unit ? 2 : 1;
    const quint32 rational = 8 + 2 + entries * 12 + 4;
    b.Raw(big ? "MM" : "II").U16(42).U32(8).U16(entries);
    b.U16(282).U16(5).U32(1).U32(rational);
    if (unit) b.U16(296).U16(3).U32(1).U16(*unit).U16(0);
    return b.U32(0).U32(num).U32(den).data;
}

QByteArray Jpeg(quint8 jfifUnit, quint16 density, const QByteArray& exif = {}) {
    Bytes b;
    b.Raw("\xff\xd8\xff\xe0").U16(16).Raw(QByteArray("JFIF\0", 5)).U16(0x0102).U8(jfifUnit);
    b.U16(density).U16(density).U16(0);
    if (!exif.isEmpty())
        b.Raw("\xff\xe1")
            .U16(quint16(2 + 6 + exif.size()))
            .Raw(QByteArray("Exif\0\0", 6))
            .Raw(exif);
    return b.Raw("\xff\xda").U16(2).data;
}

QByteArray Bmp(qint32 perMetre) {
    Bytes b{false, {}};
    b.Raw("BM").U32(0).U32(0).U32(54).U32(40).U32(10).U32(10).U16(1).U16(24).U32(0).U32(0);
    return b.U32(quint32(perMetre)).U32(quint32(perMetre)).U32(0).U32(0).data;
}

}  // namespace

TEST(ImageResolution, each_formats_tag_gives_dots_per_inch_and_no_tag_gives_none) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<double> dpi;
    };
    const Case cases[] = {
        {"png_pixels_per_metre", Png(1, 7874), 199.9996},
        {"png_aspect_ratio_only", Png(0, 1), std::nullopt},
        {"png_without_phys", Png(std::nullopt, 0), std::nullopt},
        {"jpeg_jfif_per_inch", Jpeg(1, 300), 300},
        {"jpeg_jfif_per_centimetre", Jpeg(2, 100), 254},
        {"jpeg_exif_where_jfif_has_no_unit", Jpeg(0, 1, Tiff(false, 2, 800, 2)), 400},
        {"jpeg_aspect_ratio_only", Jpeg(0, 1), std::nullopt},
        {"tiff_big_endian_per_centimetre", Tiff(true, 3, 120, 1), 304.8},
        {"tiff_without_unit_is_per_inch", Tiff(false, std::nullopt, 600, 2), 300},
        {"tiff_without_absolute_unit", Tiff(false, 1, 600, 2), std::nullopt},
        {"bmp_pixels_per_metre", Bmp(11811), 299.9994},
        {"bmp_zero", Bmp(0), std::nullopt},
        {"truncated_tiff", Tiff(true, 3, 120, 1).left(20), std::nullopt},
        {"not_an_image", "plain text", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const std::optional<QSizeF> dpi = ImageResolution::Read(buffer);
        ASSERT_EQ(dpi.has_value(), c.dpi.has_value());
        if (dpi) {
            EXPECT_NEAR(dpi->width(), *c.dpi, 0.001);
            EXPECT_NEAR(dpi->height(), *c.dpi, 0.001);
        }
    }
}

// The tags as Qt's writers leave them, among their other chunks and entries.
// (A PDF page's size, and an untagged image's at the resolution given, are
// measured on the pad.)
TEST(DrawingFile, size_on_paper_comes_from_the_images_own_resolution) {
    QTemporaryDir dir;
    // 400 × 200 pixels at 200 dpi (7874 pixels a metre): 50.8 × 25.4 mm.
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(7874);
    image.setDotsPerMeterY(7874);
    for (const char* format : {"png", "jpeg", "tiff", "bmp"}) {
        SCOPED_TRACE(format);
        const QString path = dir.filePath(QStringLiteral("scan.") + QString::fromLatin1(format));
        ASSERT_TRUE(image.save(path, format));
        const DrawingFile::Probe probe = DrawingFile::Inspect(path);
        ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
        EXPECT_EQ(probe.pages, 1);
        const DrawingFile::Opened opened = DrawingFile::Open(path, probe, 1, 96);
        ASSERT_TRUE(opened.page);
        EXPECT_NEAR(opened.page->SizeMm().width(), 50.8, 0.1);
        EXPECT_NEAR(opened.page->SizeMm().height(), 25.4, 0.1);
    }
}

// Counted as Qt holds it (a grey PNG stays 8 bits a pixel) and as drawing a
// part of it copies it: one that fits opens, one that does not is said too
// large with its size, never broken.
TEST(DrawingFile, an_image_is_counted_as_qt_reads_and_draws_it_and_one_too_large_says_its_size) {
    struct Case {
        QImage::Format format;
        qint64 peak;
    };
    const Case cases[] = {
        {QImage::Format_Grayscale8, 2 * 1000 * 1000 + 4 * 1000 * 1000},
        {QImage::Format_RGB32, 2 * 4 * 1000 * 1000},
        {QImage::Format_Mono, 2 * 128 * 1000 + 4 * 1000 * 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DrawingFile::ImagePeakBytes(QSize(1000, 1000), c.format), c.peak) << c.format;

    QTemporaryDir dir;
    QImage grey(3000, 2000, QImage::Format_Grayscale8);
    grey.fill(200);
    const QString greyPath = dir.filePath(QStringLiteral("grey.png"));
    const QString colourPath = dir.filePath(QStringLiteral("colour.png"));
    ASSERT_TRUE(grey.save(greyPath));
    ASSERT_TRUE(grey.convertToFormat(QImage::Format_RGB32).save(colourPath));
    // Grey: 6 bytes a pixel, 36 MB; in colour 8, 48 MB.
    constexpr qint64 kLimit = qint64(40) * 1024 * 1024;
    const DrawingFile::Probe probe = DrawingFile::Inspect(greyPath);
    EXPECT_TRUE(DrawingFile::Open(greyPath, probe, 1, 300, kLimit).page);
    const DrawingFile::Opened colour =
        DrawingFile::Open(colourPath, DrawingFile::Inspect(colourPath), 1, 300, kLimit);
    EXPECT_FALSE(colour.page);
    EXPECT_TRUE(colour.error.contains(QStringLiteral("大きすぎて"))) << colour.error.toStdString();
    EXPECT_TRUE(colour.error.contains(QStringLiteral("3000 × 2000"))) << colour.error.toStdString();
}
