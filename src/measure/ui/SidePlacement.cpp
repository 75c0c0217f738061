#include "measure/ui/SidePlacement.h"

#include <algorithm>

namespace {

// The frame of a window whose client area is `client`.
QSize FrameSize(const QSize& client, const QMargins& frame) { return client.grownBy(frame); }

// A value held within [low, high]; where the range is empty, low wins, so a
// window too large for the area keeps its top-left corner (and title bar)
// inside it.
int Within(int value, int low, int high) { return std::max(low, std::min(value, high)); }

SidePlace FromFrame(const QRect& frameRect, const QMargins& frame) {
    return {frameRect.topLeft(), frameRect.size().shrunkBy(frame)};
}

}  // namespace

SidePlace PlaceBeside(const QRect& available, const QRect& owner, int ownerTitle,
                      const QMargins& frame, const QSize& wanted, const QSize& minimum,
                      const QRect& coverable) {
    const QSize want = FrameSize(wanted.expandedTo(minimum), frame);
    const QSize least = FrameSize(minimum, frame);
    const int areaRight = available.x() + available.width();
    const int areaBottom = available.y() + available.height();
    const int ownerRight = owner.x() + owner.width();
    const int ownerBottom = owner.y() + owner.height();
    // Beside the owner as tall as the owner where that is more than wanted,
    // level with its top where the area allows.
    const int height = std::min(std::max(want.height(), owner.height()), available.height());
    const int besideY = Within(owner.y(), available.y(), areaBottom - height);

    const int right = areaRight - std::max(ownerRight, available.x());
    if (right >= least.width()) {
        const int width = std::min(want.width(), right);
        return FromFrame({std::max(ownerRight, available.x()), besideY, width, height}, frame);
    }
    const int left = std::min(owner.x(), areaRight) - available.x();
    if (left >= least.width()) {
        const int width = std::min(want.width(), left);
        return FromFrame({std::min(owner.x(), areaRight) - width, besideY, width, height}, frame);
    }
    const int below = areaBottom - std::max(ownerBottom, available.y());
    const int width = std::min(want.width(), available.width());
    const int alignedX = Within(owner.x(), available.x(), areaRight - width);
    if (below >= least.height()) {
        return FromFrame(
            {alignedX, std::max(ownerBottom, available.y()), width, std::min(want.height(), below)},
            frame);
    }
    if (!coverable.isEmpty()) {
        // At the screen's edge where more of the window stands beside the
        // owner, as narrow as the window can be: the grid keeps most of its
        // columns in view, and nothing but the grid is covered.
        const bool onRight = std::max(right, 0) >= std::max(left, 0);
        const int narrow = std::min(least.width(), available.width());
        const int x = onRight ? areaRight - narrow : available.x();
        const int gridBottom = coverable.y() + coverable.height();
        const int top = Within(coverable.y(), available.y(), areaBottom - least.height());
        const int tall = std::max(std::min(want.height(), gridBottom - top), least.height());
        return FromFrame({x, top, narrow, std::min(tall, areaBottom - top)}, frame);
    }
    // Over the owner, below its title bar, at the area's right edge: the grid
    // keeps its first columns in view.
    const int top = Within(owner.y() + ownerTitle, available.y(), areaBottom - least.height());
    const int overHeight = std::max(std::min(want.height(), areaBottom - top), least.height());
    return FromFrame({areaRight - width, top, width, overHeight}, frame);
}

SidePlace KeepOnScreen(const SidePlace& place, const QRect& available, const QMargins& frame,
                       const QSize& minimum, const QRect& owner) {
    const QSize least = FrameSize(minimum, frame);
    const QRect kept = place.Frame(frame);
    if (!owner.isEmpty() && !kept.intersects(owner)) {
        // Cut to the screen where it stands, clear of the main window: a
        // place kept when the window was wider (or the screen larger) stays
        // beside the main window instead of sliding over its controls.
        const QRect room = kept & available;
        if (room.width() >= least.width() && room.height() >= least.height())
            return FromFrame(room, frame);
    }
    QSize size = FrameSize(place.client, frame);
    size = size.boundedTo(available.size()).expandedTo(least);
    const int x =
        Within(place.topLeft.x(), available.x(), available.x() + available.width() - size.width());
    const int y = Within(place.topLeft.y(), available.y(),
                         available.y() + available.height() - size.height());
    return FromFrame({x, y, size.width(), size.height()}, frame);
}

QRect DockedPlace(const QRect& coverable, const QSize& minimum) {
    // Narrow, for the grid keeps most of its columns in view; the full
    // height, for there the drawing has the most room.
    const int width = std::min(minimum.width(), coverable.width());
    return {coverable.x() + coverable.width() - width, coverable.y(), width, coverable.height()};
}
