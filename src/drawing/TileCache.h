#pragma once

#include <QHash>
#include <QImage>
#include <cstdint>
#include <list>
#include <optional>

#include "drawing/TileKey.h"

// The page's tiles drawn so far, in a bounded amount of memory: past the
// budget, the tiles used longest ago go first. Tiles of one scale can be
// pinned (the whole page's overview, always there to show while sharper
// tiles are made) and are then neither counted nor dropped.
class TileCache {
  public:
    explicit TileCache(std::int64_t budgetBytes) : budget_(budgetBytes) {}

    // The tile, marked as just used; null when it is not here.
    const QImage* Find(const TileKey& key);
    void Insert(const TileKey& key, QImage image);
    void Clear();

    void Pin(std::optional<std::int64_t> scale);
    std::optional<std::int64_t> Pinned() const { return pinned_; }
    // The scale other than `scale` with tiles here nearest to it (by ratio),
    // pinned or not; none when there is none.
    std::optional<std::int64_t> NearestOtherScale(std::int64_t scale) const;

    // Bytes held by unpinned tiles, and by all tiles.
    std::int64_t Bytes() const { return bytes_; }
    std::int64_t AllBytes() const { return bytes_ + pinnedBytes_; }

  private:
    struct Entry {
        QImage image;
        std::list<TileKey>::iterator use;
    };
    void Drop(const TileKey& key);
    void Trim();

    std::int64_t budget_;
    std::int64_t bytes_ = 0;
    std::int64_t pinnedBytes_ = 0;
    std::optional<std::int64_t> pinned_;
    QHash<TileKey, Entry> tiles_;
    // Most recently used first.
    std::list<TileKey> uses_;
    // How many tiles of each scale are here.
    QHash<std::int64_t, int> scales_;
};
