#include "drawing/ImagePage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

ImagePage::ImagePage(QImage image, QSizeF dotsPerMm)
    : image_(std::move(image)), dotsPerMm_(dotsPerMm) {}

QSizeF ImagePage::SizeMm() const {
    return {image_.width() / dotsPerMm_.width(), image_.height() / dotsPerMm_.height()};
}

QImage ImagePage::Render(double pixelsPerMm, const QRect& pixels) const {
    QImage out(pixels.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::white);
    // Image pixels per output pixel along each axis.
    const double kx = dotsPerMm_.width() / pixelsPerMm;
    const double ky = dotsPerMm_.height() / pixelsPerMm;
    const QRectF wanted(pixels.x() * kx, pixels.y() * ky, pixels.width() * kx,
                        pixels.height() * ky);
    const QRect source = wanted.toAlignedRect().intersected(image_.rect());
    if (source.isEmpty()) return out;
    // The whole image pixels around the part, scaled as one: Qt's smooth
    // scaling averages every source pixel when it shrinks, so a scan's fine
    // lines turn grey instead of breaking up; then placed where the part's
    // first image pixel falls.
    const QSize size(std::max(1, static_cast<int>(std::lround(source.width() / kx))),
                     std::max(1, static_cast<int>(std::lround(source.height() / ky))));
    // One step at a time, so that each copy goes before the next is made
    // (DrawingFile::ImagePeakBytes counts them); the whole image, for the
    // overview, is not copied at all.
    QImage part = source == image_.rect() ? image_ : image_.copy(source);
    if (part.depth() < 32)
        part = part.convertToFormat(part.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
    const QImage scaled = part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    part = QImage();
    QPainter painter(&out);
    painter.drawImage(QPointF(source.x() / kx - pixels.x(), source.y() / ky - pixels.y()), scaled);
    return out;
}
