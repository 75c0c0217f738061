#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "drawing/DrawingHelper.h"
#include "drawing/DrawingViewport.h"
#include "measure/ui/FigureBackdrop.h"
#include "drawing/TileCache.h"
#include "drawing/TileRenderer.h"

// A drawing open on the pad: one page of a file, where it lies on the
// surface, and its picture. It paints what it has at once (the tiles drawn
// for the zoom in view, else an earlier zoom's scaled, else white paper) and
// has the rest drawn by the drawing helper; each tile that arrives asks for a
// repaint through onChanged. The whole page's overview is asked for at once,
// shown or not, so that a drawing is known to render from the start.
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

    PadDrawing(DrawingHelper& helper, const DrawingHelper::Page& page, Source source);
    ~PadDrawing() override;

    std::function<void()> onChanged;
    // Once, with the first tile drawn: the drawing renders.
    std::function<void()> onRendered;
    // Once, when drawing the page crashed the helper or went past its time
    // or memory: the page stays white from then on.
    std::function<void(DrawingHelper::Failure)> onFailure;

    const Source& Of() const { return source_; }
    QSizeF SizeMm() const { return sizeMm_; }
    bool Rendered() const { return rendered_; }
    bool Failed() const { return renderer_.Failed(); }
    DrawingViewport& Viewport() { return viewport_; }
    const DrawingViewport& Viewport() const { return viewport_; }

    // Every tile in view at its zoom was there at the last paint, the page
    // has not moved since, and no tile is being drawn or wanted.
    bool Settled() const;
    // Every tile in view at its zoom was there at the last paint, and the
    // page has not moved since (the tiles around it may still be drawn).
    bool ShownWhole() const;
    const TileCache& Cache() const { return cache_; }

    void PaintBackdrop(QPainter& painter, const QTransform& countsToPixels,
                       const QRect& surface) override;

  private:
    // Draws the tiles of `scale` that are here over the page's part `view`
    // (surface pixels), each scaled to where its paper lies.
    void PaintScaled(QPainter& painter, std::int64_t scale, const QRectF& view);
    // Tiles of `scale` covering the surface pixels `view`, row by row.
    std::vector<TileKey> TilesOver(std::int64_t scale, const QRectF& view) const;

    // The overview's scale.
    std::int64_t OverviewScale() const;

    QSizeF sizeMm_;
    Source source_;
    DrawingViewport viewport_;
    TileCache cache_{kCacheBytes};
    TileRenderer renderer_;
    bool complete_ = false;
    bool rendered_ = false;
    // A paint has said which tiles it wants.
    bool asked_ = false;
    // How long a drawing waits for its first paint before its overview is
    // drawn unasked, milliseconds.
    static constexpr int kUnpaintedMs = 100;
    // Where the page was at the last paint.
    QRectF paintedPage_;
};
