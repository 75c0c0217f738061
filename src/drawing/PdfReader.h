#pragma once

#include <QString>
#include <memory>

#include "drawing/DrawingPage.h"

// Reads PDF files for the pad. poppler and the many libraries behind it are
// loaded the first time a PDF file is met, not at every start: the reader
// lives in a module of its own ("kalvor-pdf"), installed with the program.
class PdfReader {
  public:
    virtual ~PdfReader() = default;

    // A file read once: its pages counted, then one of them opened from
    // what was read (the file is not read again).
    class Document {
      public:
        virtual ~Document() = default;
        virtual int Pages() const = 0;
        // Page `page` (from 1), or null with `error` saying why. Once: the
        // page takes what was read with it.
        virtual std::shared_ptr<const DrawingPage> OpenPage(int page, QString& error) = 0;
    };

    // The file, or null with `error` saying why it cannot be read.
    virtual std::shared_ptr<Document> Load(const QString& path, QString& error) const = 0;
    // Readies what the first drawing would set up (fonts, the rasteriser),
    // for a reader loaded ahead of its first file.
    virtual void Prepare() const = 0;

    // The reader, loaded once; null with `error` set when its module is
    // missing or broken.
    static const PdfReader* Load(QString& error);
};

// The module's one entry point, found by this name.
#define KALVOR_PDF_READER_ENTRY "KalvorPdfReader"
