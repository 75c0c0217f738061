#include "drawing/PdfPage.h"

#include <poppler-qt6.h>

#include "units/Length.h"

namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

PdfPage::PdfPage(std::unique_ptr<Poppler::Document> document, std::unique_ptr<Poppler::Page> page)
    : document_(std::move(document)), page_(std::move(page)) {
    // Smooth edges; hairlines (common in CAD drawings) drawn at least one
    // pixel wide, so that they do not vanish when the page is zoomed out.
    document_->setRenderHint(Poppler::Document::Antialiasing);
    document_->setRenderHint(Poppler::Document::TextAntialiasing);
    document_->setRenderHint(Poppler::Document::ThinLineSolid);
    // The page's size in points (1/72 inch), turned as it is shown.
    sizeMm_ = page_->pageSizeF() * (kMillimetresPerInch / kPointsPerInch);
}

PdfPage::~PdfPage() = default;

QSizeF PdfPage::SizeMm() const { return sizeMm_; }

QImage PdfPage::Render(double pixelsPerMm, const QRect& pixels) const {
    const double dpi = pixelsPerMm * kMillimetresPerInch;
    return page_->renderToImage(dpi, dpi, pixels.x(), pixels.y(), pixels.width(), pixels.height());
}
