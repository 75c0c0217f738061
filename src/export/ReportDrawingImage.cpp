#include "export/ReportDrawingImage.h"

#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Pixels on a side of one call's picture: the most the shared tile buffer
// carries (TileBuffer::kBytes, 2048 × 2048 pixels of 32 bits).
constexpr int kTileSide = 2048;
// How much longer than the helper's own budget a call is waited for: the
// helper ends a call past its budget itself, this only guards against a
// helper client that never answers.
constexpr int kGraceMs = 5000;
// The resolution tried when the helper runs out of memory at print quality.
constexpr double kFallbackDpi = 150.0;

}  // namespace

bool ReportDrawingImage::Open(const QString& file, int page, QString& why) {
    page_.reset();
    DrawingHelper::Failure failure = DrawingHelper::Failure::None;
    const DrawingFile::Probe probe = helper_.Inspect(file, failure);
    if (!probe.error.isEmpty()) {
        why = probe.error;
        return false;
    }
    if (page < 1 || page > probe.pages) {
        why = QStringLiteral("図面に %1 ページ目がありません（ファイルが変わっています）。")
                  .arg(page);
        return false;
    }
    // The figures lie on the page as it was shown; a scan without its own
    // resolution was shown at what the operator typed then, which the figure
    // does not keep: at any other size the figures would sit off the lines
    // they trace.
    if (probe.kind == DrawingFile::Kind::Image && !probe.dpi) {
        why = QStringLiteral("画像に解像度が記録されていないため、図形と同じ大きさで描けません。");
        return false;
    }
    QString error;
    page_ = helper_.Open(file, page, 0, error, failure);
    if (!page_) {
        why = error;
        return false;
    }
    return true;
}

ReportDrawingImage::Drawn ReportDrawingImage::Render(double pixelsPerMm, const QRect& pixels) {
    // Shared with the callback, which the helper may call after this
    // function has given up waiting.
    auto drawn = std::make_shared<std::optional<Drawn>>();
    QEventLoop loop;
    helper_.Render(*page_, pixelsPerMm, pixels,
                   [drawn, &loop](const QImage& image, DrawingHelper::Failure failure) {
                       const bool waiting = !drawn->has_value();
                       *drawn = Drawn{image, failure};
                       if (waiting) loop.quit();
                   });
    if (!drawn->has_value()) {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(helper_.CurrentLimits().callMs + kGraceMs);
        // The operator's clicks and keys wait: nothing may start another
        // call on the window meanwhile.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!drawn->has_value()) {
        // The call is forgotten, and the helper ended with it.
        helper_.Drop();
        *drawn = Drawn{QImage(), DrawingHelper::Failure::TimedOut};
    }
    return **drawn;
}

QString ReportDrawingImage::Paint(QPainter& painter, const QTransform& mmToDevice, double printedMm,
                                  double dotsPerInch) {
    if (!page_) return QStringLiteral("図面を開いていません。");
    const QSizeF sizeMm = page_->sizeMm;
    double dpi = dotsPerInch;
    bool anyDrawn = false;
    for (;;) {
        // Image pixels per millimetre of the page, so that the printed sheet
        // has `dpi` of them per inch.
        const double pixelsPerMm = printedMm * dpi / 25.4;
        const int width = std::max(1, static_cast<int>(std::ceil(sizeMm.width() * pixelsPerMm)));
        const int height = std::max(1, static_cast<int>(std::ceil(sizeMm.height() * pixelsPerMm)));
        DrawingHelper::Failure failed = DrawingHelper::Failure::None;
        bool blank = false;
        for (int top = 0; top < height && failed == DrawingHelper::Failure::None;
             top += kTileSide) {
            for (int left = 0; left < width; left += kTileSide) {
                const QRect pixels(left, top, std::min(kTileSide, width - left),
                                   std::min(kTileSide, height - top));
                const Drawn drawn = Render(pixelsPerMm, pixels);
                if (drawn.failure != DrawingHelper::Failure::None) {
                    failed = drawn.failure;
                    break;
                }
                if (drawn.image.isNull()) {
                    blank = true;
                    continue;
                }
                // The tile's place on the page in millimetres; neighbours
                // share their edges exactly.
                const QRectF onPage(pixels.x() / pixelsPerMm, pixels.y() / pixelsPerMm,
                                    pixels.width() / pixelsPerMm, pixels.height() / pixelsPerMm);
                painter.drawImage(mmToDevice.mapRect(onPage), drawn.image);
                anyDrawn = true;
            }
        }
        // A page too heavy for the helper's memory at print quality is
        // tried once more at a lower resolution, unless part of it is on
        // the sheet already.
        if (failed == DrawingHelper::Failure::OutOfMemory && !anyDrawn && dpi > kFallbackDpi) {
            dpi = kFallbackDpi;
            continue;
        }
        if (failed != DrawingHelper::Failure::None) {
            const QString reason = helper_.Describe(failed);
            return anyDrawn ? QStringLiteral("図面の一部を描けませんでした。%1").arg(reason)
                            : QStringLiteral("図面を描けませんでした。%1").arg(reason);
        }
        if (blank)
            return anyDrawn ? QStringLiteral("図面の一部を描けませんでした。")
                            : QStringLiteral("図面を描けませんでした。");
        return {};
    }
}
