#pragma once

#include <QHashFunctions>
#include <QRect>
#include <QSize>
#include <cmath>
#include <cstdint>

// One square of a page drawn at one scale. The scale is kept as a whole
// number of 1/65536 image pixels per millimetre of paper, so that the scale
// a tile was asked at and the one it is drawn and shown at are the same
// number, and tiles of one zoom find each other in the cache.
struct TileKey {
    // Image pixels on a side of a tile (the last column and row are cut at
    // the page's edge).
    static constexpr int kSize = 256;
    static constexpr double kScaleUnit = 65536.0;

    std::int64_t scale = 0;
    int column = 0;
    int row = 0;

    static std::int64_t ScaleOf(double pixelsPerMm) {
        return static_cast<std::int64_t>(std::llround(pixelsPerMm * kScaleUnit));
    }
    double PixelsPerMm() const { return static_cast<double>(scale) / kScaleUnit; }
    // The page's size in image pixels at this tile's scale.
    static QSize PagePixels(const QSizeF& pageMm, double pixelsPerMm) {
        return {static_cast<int>(std::ceil(pageMm.width() * pixelsPerMm)),
                static_cast<int>(std::ceil(pageMm.height() * pixelsPerMm))};
    }
    // The tile's pixels on the page at its scale, cut at the page's edge.
    QRect Pixels(const QSizeF& pageMm) const {
        return QRect(column * kSize, row * kSize, kSize, kSize)
            .intersected(QRect(QPoint(0, 0), PagePixels(pageMm, PixelsPerMm())));
    }

    bool operator==(const TileKey&) const = default;
};

inline size_t qHash(const TileKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.scale, key.column, key.row);
}
