#pragma once

#include <QSizeF>
#include <optional>

class QIODevice;

// The resolution an image file says it was scanned or drawn at, from its
// own tag: PNG pHYs, JPEG JFIF or (without a JFIF density) EXIF, TIFF, BMP.
// Qt's image readers cannot tell a missing tag from one of 72 or 96 dpi, so
// the tags are read here from the file's bytes.
class ImageResolution {
  public:
    // Dots per inch across and down, or nothing when the file carries no
    // absolute resolution (no tag, an aspect ratio only, zero, or a value
    // outside 1 to 100,000 dpi) or is not one of those formats.
    static std::optional<QSizeF> Read(QIODevice& file);
    static std::optional<QSizeF> Read(const QString& path);

  private:
    static std::optional<QSizeF> ReadPng(QIODevice& file);
    static std::optional<QSizeF> ReadJpeg(QIODevice& file);
    // A TIFF structure from `base` on (a TIFF file at 0, EXIF inside a JPEG).
    static std::optional<QSizeF> ReadTiff(QIODevice& file, qint64 base);
    static std::optional<QSizeF> ReadBmp(QIODevice& file);
};
