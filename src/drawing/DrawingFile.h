#pragma once

#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

#include "drawing/DrawingPage.h"

// Opens drawings for the pad: a page of a PDF file, or an image (PNG, JPEG,
// TIFF, BMP and whatever else Qt's image plugins read). The kind is told by
// the file's content, not its name. Every failure comes back as one line
// that says why, for the notice that names the file.
class DrawingFile {
  public:
    enum class Kind { Pdf, Image };

    // What a file holds, found without drawing it.
    struct Probe {
        Kind kind = Kind::Image;
        // Pages of a PDF file; 1 for an image.
        int pages = 1;
        // An image's own resolution, dots per inch across and down; none
        // when it carries no tag (and always for a PDF, whose sizes are
        // absolute).
        std::optional<QSizeF> dpi;
        // Why the file cannot be opened; empty when it can.
        QString error;
    };

    struct Opened {
        std::shared_ptr<const DrawingPage> page;
        QString error;
    };

    // The most memory an image may take once read, bytes: a larger one is
    // refused with its size rather than left to fail (or to push the
    // system into swapping). An A0 scan in colour at 300 dpi takes about
    // 560 MB.
    static constexpr qint64 kMaxImageBytes = qint64(1024) * 1024 * 1024;

    static Probe Inspect(const QString& path);
    // Page `page` (from 1) of the file; an image without its own resolution
    // is taken at `untaggedDpi` dots per inch.
    static Opened Open(const QString& path, int page, double untaggedDpi);

  private:
    static Opened OpenPdf(const QString& path, int page);
    static Opened OpenImage(const QString& path, QSizeF dpi);
};
