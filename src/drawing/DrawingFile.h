#pragma once

#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

#include "drawing/DrawingPage.h"
#include "drawing/PdfReader.h"

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
        // A PDF file as read here, for Open to take its page from.
        std::shared_ptr<PdfReader::Document> document;
    };

    struct Opened {
        std::shared_ptr<const DrawingPage> page;
        QString error;
        // Opened, but part of it could not be read (a JPEG cut short shows
        // grey where its end is missing).
        bool partial = false;
    };

    // The most memory an image may take while it is read and drawn, bytes
    // (ImagePeakBytes): a larger one is refused with its size rather than
    // left to fail. An A0 scan in colour at 300 dpi takes about 1.1 GB, in
    // grey about 0.85 GB.
    static constexpr qint64 kMaxImageBytes = qint64(2048) * 1024 * 1024;

    // What is at `path`: for a file that is no drawing's (a folder, a FIFO,
    // a device, the system's /proc tables) `error` names what it is.
    static Probe Inspect(const QString& path);
    // Page `page` (from 1) of the file `probe` (its Inspect) found, a PDF
    // file's from what Inspect read (once: the page takes it); an image
    // without its own resolution is taken at `untaggedDpi` dots per inch.
    static Opened Open(const QString& path, const Probe& probe, int page, double untaggedDpi,
                       qint64 maxImageBytes = kMaxImageBytes);

    // The most memory an image of `size` takes as Qt reads it in `format`
    // (a grey PNG stays 8 bits a pixel) and while a part of it is scaled.
    static qint64 ImagePeakBytes(QSize size, QImage::Format format);

  private:
    static Opened OpenPdf(const Probe& probe, int page);
    static Opened OpenImage(const QString& path, QSizeF dpi, qint64 maxBytes);
};
