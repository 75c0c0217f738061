#include "drawing/TileRenderer.h"

#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <cstdlib>

namespace {

// At most this many tiles a side in one call: 8 × 8 tiles of 256 × 256
// pixels are 16 MB of picture in flight.
constexpr int kBatchSide = 8;

}  // namespace

TileRenderer::TileRenderer() : thread_([this] { Run(); }) {}

TileRenderer::~TileRenderer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        ++generation_;
    }
    wake_.notify_all();
    // A call to the page runs to its end: a tile of a large page at a high
    // zoom can take a second.
    thread_.join();
}

void TileRenderer::SetPage(std::shared_ptr<const DrawingPage> page) {
    {
        std::lock_guard lock(mutex_);
        page_ = std::move(page);
        wanted_.clear();
        // What is being drawn is of the old page: the new one's tiles of the
        // same keys are wanted afresh.
        drawingNow_.clear();
        ++generation_;
    }
    wake_.notify_all();
}

void TileRenderer::Want(std::vector<TileKey> tiles) {
    {
        std::lock_guard lock(mutex_);
        std::erase_if(tiles, [this](const TileKey& key) {
            return std::find(drawingNow_.begin(), drawingNow_.end(), key) != drawingNow_.end();
        });
        wanted_ = std::move(tiles);
    }
    wake_.notify_all();
}

bool TileRenderer::Idle() const {
    std::lock_guard lock(mutex_);
    return drawingNow_.empty() && (wanted_.empty() || page_ == nullptr);
}

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

void TileRenderer::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || (!wanted_.empty() && page_ != nullptr); });
        if (stop_) return;
        const std::vector<TileKey> batch = NextBatch();
        const std::shared_ptr<const DrawingPage> page = page_;
        const std::uint64_t generation = generation_;
        drawingNow_ = batch;
        lock.unlock();

        const QSizeF pageMm = page->SizeMm();
        QRect area;
        for (const TileKey& key : batch) area |= key.Pixels(pageMm);
        const QImage drawn =
            area.isEmpty() ? QImage() : page->Render(batch.front().PixelsPerMm(), area);
        std::vector<std::pair<TileKey, QImage>> tiles;
        for (const TileKey& key : batch) {
            const QRect pixels = key.Pixels(pageMm);
            // A tile that could not be drawn comes back white, so that it is
            // not asked for again and again.
            QImage tile = drawn.isNull() || pixels.isEmpty()
                              ? QImage(std::max(pixels.width(), 1), std::max(pixels.height(), 1),
                                       QImage::Format_RGB32)
                              : drawn.copy(pixels.translated(-area.topLeft()));
            if (drawn.isNull()) tile.fill(Qt::white);
            tiles.emplace_back(key, std::move(tile));
        }

        lock.lock();
        if (generation != generation_) continue;
        drawingNow_.clear();
        // Handed over in this object's thread; a page set meanwhile makes
        // them stale there too.
        QMetaObject::invokeMethod(
            this,
            [this, generation, tiles = std::move(tiles)] {
                {
                    std::lock_guard guard(mutex_);
                    if (generation != generation_) return;
                }
                for (const auto& [key, image] : tiles)
                    if (onTile) onTile(key, image);
            },
            Qt::QueuedConnection);
    }
}
