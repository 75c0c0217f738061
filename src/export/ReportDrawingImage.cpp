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

// Waits for the answer of the call `issue` makes (it is given the function
// to answer through), the operator's clicks and keys held back meanwhile: the
// report is written in one go and nothing may start another call on the
// window. A call the helper never answers is dropped (the helper ended with
// it), and none comes back.
template <typename Result, typename Issue>
std::optional<Result> Await(DrawingHelper& helper, Issue issue) {
    std::optional<Result> result;
    QEventLoop loop;
    const DrawingHelper::Ticket ticket = issue([&](Result answer) {
        result = std::move(answer);
        loop.quit();
    });
    if (!result) {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(helper.CurrentLimits().callMs + kGraceMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // A dropped call is never answered: the function above, which refers to
    // this frame, is not called after it.
    if (!result) helper.Drop(ticket);
    return result;
}

}  // namespace

bool ReportDrawingImage::Open(const QString& file, int page, QString& why) {
    page_.reset();
    using Inspection = std::pair<DrawingFile::Probe, DrawingHelper::Failure>;
    const std::optional<Inspection> inspected = Await<Inspection>(helper_, [&](auto answer) {
        return helper_.Inspect(file, [answer](const DrawingFile::Probe& probe, DrawingHelper::Failure failure) {
            answer(Inspection{probe, failure});
        });
    });
    if (!inspected) {
        why = helper_.Describe(DrawingHelper::Failure::TimedOut);
        return false;
    }
    const DrawingFile::Probe& probe = inspected->first;
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
    using Opening = std::pair<std::optional<DrawingHelper::Page>, QString>;
    const std::optional<Opening> opened = Await<Opening>(helper_, [&](auto answer) {
        return helper_.Open(file, page, 0,
                            [this, answer](const std::optional<DrawingHelper::Page>& shown,
                                           const QString& error, DrawingHelper::Failure failure) {
                                const bool failed = failure != DrawingHelper::Failure::None;
                                answer(Opening{shown, failed && error.isEmpty() ? helper_.Describe(failure)
                                                                                : error});
                            });
    });
    if (!opened) {
        why = helper_.Describe(DrawingHelper::Failure::TimedOut);
        return false;
    }
    page_ = opened->first;
    if (!page_) {
        why = opened->second;
        return false;
    }
    return true;
}

ReportDrawingImage::Drawn ReportDrawingImage::Render(double pixelsPerMm, const QRect& pixels) {
    const std::optional<Drawn> drawn = Await<Drawn>(helper_, [&](auto answer) {
        return helper_.Render(*page_, pixelsPerMm, pixels,
                              [answer](const QImage& image, DrawingHelper::Failure failure) {
                                  // The picture lies in the shared tile
                                  // buffer only during the call.
                                  answer(Drawn{image.copy(), failure});
                              });
    });
    return drawn.value_or(Drawn{QImage(), DrawingHelper::Failure::TimedOut});
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
