#pragma once

#include <memory>

#include "drawing/DrawingPage.h"

namespace Poppler {
class Document;
class Page;
}  // namespace Poppler

// A page of a PDF file, drawn by poppler at the resolution asked for: sharp
// at every zoom, since nothing is drawn from a picture made for another.
class PdfPage : public DrawingPage {
  public:
    // `page` of `document`, which must be open and unlocked.
    PdfPage(std::unique_ptr<Poppler::Document> document, std::unique_ptr<Poppler::Page> page);
    ~PdfPage() override;

    QSizeF SizeMm() const override;
    QImage Render(double pixelsPerMm, const QRect& pixels) const override;

  private:
    std::unique_ptr<Poppler::Document> document_;
    std::unique_ptr<Poppler::Page> page_;
    QSizeF sizeMm_;
};
