#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "drawing/DrawingPage.h"
#include "drawing/DrawingViewport.h"
#include "measure/ui/FigureBackdrop.h"
#include "drawing/TileCache.h"
#include "drawing/TileRenderer.h"

// A drawing open on the pad: one page of a file, where it lies on the
// surface, and its picture. It paints what it has at once (the tiles drawn
// for the zoom in view, else an earlier zoom's scaled, else white paper) and
// has the rest drawn in the tile worker; each tile that arrives asks for a
// repaint through onChanged.
class PadDrawing : public FigureBackdrop {
  public:
    // What the file and page are, as the pad names them and the settings
    // keep them. `untaggedDpi`: the resolution the operator gave an image
    // without one; 0 when the file has its own.
    struct Source {
        QString file;
        int page = 1;
        int pages = 1;
        double untaggedDpi = 0;
    };

    // Bytes of tiles kept besides the overview: about 500 tiles, a screen
    // of 1920 × 1080 pixels a dozen times over.
    static constexpr std::int64_t kCacheBytes = std::int64_t(128) * 1024 * 1024;
    // The overview (the whole page, kept while the drawing is open) has at
    // most this many pixels.
    static constexpr double kOverviewPixels = 4.0e6;

    PadDrawing(std::shared_ptr<const DrawingPage> page, Source source);
    ~PadDrawing() override;

    std::function<void()> onChanged;

    const Source& Of() const { return source_; }
    QSizeF SizeMm() const { return page_->SizeMm(); }
    DrawingViewport& Viewport() { return viewport_; }
    const DrawingViewport& Viewport() const { return viewport_; }

    // Every tile in view at its zoom was there at the last paint, the page
    // has not moved since, and no tile is being drawn or wanted.
    bool Settled() const;
    const TileCache& Cache() const { return cache_; }

    void PaintBackdrop(QPainter& painter, const QTransform& countsToPixels,
                       const QRect& surface) override;

  private:
    // Draws the tiles of `scale` that are here over the page's part `view`
    // (surface pixels), each scaled to where its paper lies.
    void PaintScaled(QPainter& painter, std::int64_t scale, const QRectF& view);
    // Tiles of `scale` covering the surface pixels `view`, row by row.
    std::vector<TileKey> TilesOver(std::int64_t scale, const QRectF& view) const;

    std::shared_ptr<const DrawingPage> page_;
    Source source_;
    DrawingViewport viewport_;
    TileCache cache_{kCacheBytes};
    TileRenderer renderer_;
    bool complete_ = false;
    // Where the page was at the last paint.
    QRectF paintedPage_;
};
