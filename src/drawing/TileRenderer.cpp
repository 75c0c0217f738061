#include "drawing/TileRenderer.h"

#include <QMetaObject>
#include <algorithm>
#include <cstdlib>

namespace {

// At most this many tiles a side in one call: 8 × 8 tiles of 256 × 256
// pixels are 16 MB of picture in flight.
constexpr int kBatchSide = 8;

}  // namespace

TileRenderer::TileRenderer(DrawingHelper& helper, DrawingHelper::Page page)
    : helper_(helper), page_(std::move(page)) {}

TileRenderer::~TileRenderer() {
    // A call to the helper may not end for a minute (a page built to be
    // slow): the helper goes with it, and the next drawing starts another.
    if (!drawingNow_.empty()) helper_.Drop(call_);
}

void TileRenderer::Want(std::vector<TileKey> tiles) {
    if (failed_) return;
    std::erase_if(tiles, [this](const TileKey& key) {
        return std::find(drawingNow_.begin(), drawingNow_.end(), key) != drawingNow_.end();
    });
    wanted_ = std::move(tiles);
    Next();
}

bool TileRenderer::Idle() const { return failed_ || (drawingNow_.empty() && wanted_.empty()); }

std::vector<TileKey> TileRenderer::NextBatch() {
    // The wanted tiles of the first one's scale within a square of tiles
    // around it: a screen of any size is drawn in a few calls, none too
    // large.
    const TileKey first = wanted_.front();
    const auto near = [&](const TileKey& key) {
        return key.scale == first.scale && std::abs(key.column - first.column) < kBatchSide &&
               std::abs(key.row - first.row) < kBatchSide;
    };
    int left = first.column, right = first.column, top = first.row, bottom = first.row;
    for (const TileKey& key : wanted_) {
        if (!near(key)) continue;
        left = std::min(left, key.column);
        right = std::max(right, key.column);
        top = std::min(top, key.row);
        bottom = std::max(bottom, key.row);
    }
    // Then cut to kBatchSide a side, keeping the first tile.
    left = std::max(left, std::min(first.column, right - kBatchSide + 1));
    top = std::max(top, std::min(first.row, bottom - kBatchSide + 1));
    std::vector<TileKey> batch;
    for (const TileKey& key : wanted_)
        if (near(key) && key.column >= left && key.column < left + kBatchSide && key.row >= top &&
            key.row < top + kBatchSide)
            batch.push_back(key);
    std::erase_if(wanted_, [&](const TileKey& key) {
        return std::find(batch.begin(), batch.end(), key) != batch.end();
    });
    return batch;
}

void TileRenderer::Next() {
    if (failed_ || !drawingNow_.empty() || wanted_.empty()) return;
    drawingNow_ = NextBatch();
    area_ = QRect();
    for (const TileKey& key : drawingNow_) area_ |= key.Pixels(page_.sizeMm);
    if (area_.isEmpty()) {
        Drawn(QImage(), DrawingHelper::Failure::None);
        return;
    }
    call_ = helper_.Render(
        page_, drawingNow_.front().PixelsPerMm(), area_,
        [this](const QImage& drawn, DrawingHelper::Failure failure) { Drawn(drawn, failure); });
}

void TileRenderer::Drawn(const QImage& drawn, DrawingHelper::Failure failure) {
    const std::vector<TileKey> batch = std::move(drawingNow_);
    drawingNow_.clear();
    if (failure == DrawingHelper::Failure::Abandoned) {
        // Another call came first (a file opened while this page was
        // being drawn): wanted again.
        wanted_.insert(wanted_.begin(), batch.begin(), batch.end());
        QMetaObject::invokeMethod(
            this, [this] { Next(); }, Qt::QueuedConnection);
        return;
    }
    if (failure != DrawingHelper::Failure::None) {
        failed_ = true;
        wanted_.clear();
        if (onFailure) onFailure(failure);
        return;
    }
    // The picture must be the part asked for; a tile that could not be
    // drawn comes back white, so that it is not asked for again and again.
    const bool whole = !drawn.isNull() && drawn.size() == area_.size();
    for (const TileKey& key : batch) {
        const QRect pixels = key.Pixels(page_.sizeMm);
        QImage tile = !whole || pixels.isEmpty()
                          ? QImage(std::max(pixels.width(), 1), std::max(pixels.height(), 1),
                                   QImage::Format_RGB32)
                          : drawn.copy(pixels.translated(-area_.topLeft()));
        if (!whole) tile.fill(Qt::white);
        if (onTile) onTile(key, tile);
    }
    Next();
}
