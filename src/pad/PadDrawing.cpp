#include "pad/PadDrawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

// The desk around the page: darker than any paper, lighter than ink.
const QColor kDesk(128, 132, 138);

}  // namespace

PadDrawing::PadDrawing(DrawingHelper& helper, const DrawingHelper::Page& page, Source source)
    : sizeMm_(page.sizeMm), source_(std::move(source)), renderer_(helper, page) {
    viewport_.SetPage(sizeMm_);
    renderer_.onTile = [this](const TileKey& key, const QImage& image) {
        cache_.Insert(key, image);
        if (!rendered_) {
            rendered_ = true;
            if (onRendered) onRendered();
        }
        if (onChanged) onChanged();
    };
    renderer_.onFailure = [this](DrawingHelper::Failure failure) {
        if (onFailure) onFailure(failure);
        if (onChanged) onChanged();
    };
    cache_.Pin(OverviewScale());
    // A pad that paints wants the tiles in view first; one that does not
    // (hidden, minimised) still has the overview drawn.
    QTimer::singleShot(kUnpaintedMs, &renderer_, [this] {
        if (!asked_) renderer_.Want(TilesOver(OverviewScale(), viewport_.PageRect()));
    });
}

PadDrawing::~PadDrawing() {
    renderer_.onTile = nullptr;
    renderer_.onFailure = nullptr;
}

std::int64_t PadDrawing::OverviewScale() const {
    const double overview = std::sqrt(kOverviewPixels / (sizeMm_.width() * sizeMm_.height()));
    return TileKey::ScaleOf(overview);
}

bool PadDrawing::ShownWhole() const { return complete_ && paintedPage_ == viewport_.PageRect(); }

bool PadDrawing::Settled() const {
    return complete_ && paintedPage_ == viewport_.PageRect() && renderer_.Idle();
}

std::vector<TileKey> PadDrawing::TilesOver(std::int64_t scale, const QRectF& view) const {
    // `view` in surface pixels to image pixels of the page at `scale`.
    const double imagePerSurface = TileKey{scale, 0, 0}.PixelsPerMm() / viewport_.PixelsPerMm();
    const QRectF page = view.translated(-QPointF(viewport_.Corner()));
    const QRectF image(page.topLeft() * imagePerSurface, page.size() * imagePerSurface);
    const QSize pagePixels = TileKey::PagePixels(sizeMm_, TileKey{scale, 0, 0}.PixelsPerMm());
    const QRectF inPage = image.intersected(QRectF(QPointF(0, 0), QSizeF(pagePixels)));
    std::vector<TileKey> tiles;
    if (inPage.isEmpty()) return tiles;
    const int left = static_cast<int>(std::floor(inPage.left() / TileKey::kSize));
    const int top = static_cast<int>(std::floor(inPage.top() / TileKey::kSize));
    const int right = static_cast<int>(std::ceil(inPage.right() / TileKey::kSize)) - 1;
    const int bottom = static_cast<int>(std::ceil(inPage.bottom() / TileKey::kSize)) - 1;
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column) tiles.push_back({scale, column, row});
    return tiles;
}

void PadDrawing::PaintScaled(QPainter& painter, std::int64_t scale, const QRectF& view) {
    const double surfacePerImage = viewport_.PixelsPerMm() / TileKey{scale, 0, 0}.PixelsPerMm();
    for (const TileKey& key : TilesOver(scale, view)) {
        const QImage* tile = cache_.Find(key);
        if (tile == nullptr) continue;
        const QRectF pixels(key.Pixels(sizeMm_));
        painter.drawImage(QRectF(QPointF(viewport_.Corner()) + pixels.topLeft() * surfacePerImage,
                                 pixels.size() * surfacePerImage),
                          *tile);
    }
}

void PadDrawing::PaintBackdrop(QPainter& painter, const QTransform&, const QRect& surface) {
    const double pixelRatio =
        painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    painter.translate(surface.topLeft());
    const QRectF view(QPointF(0, 0), QSizeF(surface.size()));
    painter.fillRect(view, kDesk);
    const QRectF pageRect = viewport_.PageRect();
    paintedPage_ = pageRect;
    painter.fillRect(pageRect, Qt::white);
    const QRectF shown = view.intersected(pageRect);

    // Tiles are drawn for the screen's own pixels, so that each falls on
    // them one to one.
    const std::int64_t scale = TileKey::ScaleOf(viewport_.PixelsPerMm() * pixelRatio);
    QRegion missing;
    std::vector<TileKey> wanted;
    const std::vector<TileKey> inView = TilesOver(scale, shown);
    for (const TileKey& key : inView) {
        const QRectF pixels(key.Pixels(sizeMm_));
        const QRectF target(QPointF(viewport_.Corner()) + pixels.topLeft() / pixelRatio,
                            pixels.size() / pixelRatio);
        if (const QImage* tile = cache_.Find(key)) {
            painter.drawImage(target, *tile);
        } else {
            missing += target.toAlignedRect();
            wanted.push_back(key);
        }
    }
    complete_ = wanted.empty();
    if (!complete_) {
        // Meanwhile the overview and the nearest zoom drawn before, scaled,
        // where the sharp tiles are still missing.
        painter.save();
        painter.setClipRegion(missing, Qt::IntersectClip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const std::int64_t overview = *cache_.Pinned();
        if (overview != scale) PaintScaled(painter, overview, shown);
        const std::optional<std::int64_t> nearest = cache_.NearestOtherScale(scale);
        if (nearest && *nearest != overview) PaintScaled(painter, *nearest, shown);
        painter.restore();
    }
    // Then, while the worker has time: the tiles next around the view, for
    // the next move, and the overview.
    const double ring = TileKey::kSize / pixelRatio;
    for (const TileKey& key : TilesOver(scale, shown.adjusted(-ring, -ring, ring, ring)))
        if (std::find(inView.begin(), inView.end(), key) == inView.end() && !cache_.Find(key))
            wanted.push_back(key);
    const QRectF whole = pageRect;
    for (const TileKey& key : TilesOver(*cache_.Pinned(), whole))
        if (!cache_.Find(key) && key.scale != scale) wanted.push_back(key);
    asked_ = true;
    renderer_.Want(std::move(wanted));
}
