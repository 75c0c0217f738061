#include "drawing/TileCache.h"

#include <cmath>

const QImage* TileCache::Find(const TileKey& key) {
    const auto found = tiles_.find(key);
    if (found == tiles_.end()) return nullptr;
    uses_.splice(uses_.begin(), uses_, found->use);
    return &found->image;
}

void TileCache::Insert(const TileKey& key, QImage image) {
    Drop(key);
    const std::int64_t size = image.sizeInBytes();
    uses_.push_front(key);
    tiles_.insert(key, Entry{std::move(image), uses_.begin()});
    ++scales_[key.scale];
    (pinned_ == key.scale ? pinnedBytes_ : bytes_) += size;
    Trim();
}

void TileCache::Clear() {
    tiles_.clear();
    uses_.clear();
    scales_.clear();
    bytes_ = 0;
    pinnedBytes_ = 0;
    pinned_.reset();
}

void TileCache::Pin(std::optional<std::int64_t> scale) {
    if (scale == pinned_) return;
    // Recount: tiles move between the counted and the pinned.
    pinned_ = scale;
    bytes_ = 0;
    pinnedBytes_ = 0;
    for (const Entry& entry : tiles_) {
        const TileKey& key = *entry.use;
        (pinned_ == key.scale ? pinnedBytes_ : bytes_) += entry.image.sizeInBytes();
    }
    Trim();
}

std::optional<std::int64_t> TileCache::NearestOtherScale(std::int64_t scale) const {
    std::optional<std::int64_t> nearest;
    double distance = 0;
    for (auto it = scales_.begin(); it != scales_.end(); ++it) {
        if (it.key() == scale || it.value() == 0) continue;
        const double d = std::fabs(std::log(double(it.key()) / double(scale)));
        if (!nearest || d < distance) {
            nearest = it.key();
            distance = d;
        }
    }
    return nearest;
}

void TileCache::Drop(const TileKey& key) {
    const auto found = tiles_.find(key);
    if (found == tiles_.end()) return;
    (pinned_ == key.scale ? pinnedBytes_ : bytes_) -= found->image.sizeInBytes();
    uses_.erase(found->use);
    if (--scales_[key.scale] == 0) scales_.remove(key.scale);
    tiles_.erase(found);
}

void TileCache::Trim() {
    // From the least recently used end; pinned tiles stay.
    auto it = uses_.end();
    while (bytes_ > budget_ && it != uses_.begin()) {
        --it;
        if (pinned_ == it->scale) continue;
        const TileKey key = *it;
        // Drop erases `it`: step past it first.
        auto next = it;
        ++next;
        Drop(key);
        it = next;
    }
}
