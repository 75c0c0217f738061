#pragma once

#include <QImage>
#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

#include "drawing/DrawingHelper.h"
#include "drawing/TileKey.h"

// Has a page's tiles drawn by the drawing helper, so that rendering a large
// drawing never holds up the pen: the pad says which tiles it wants, most
// wanted first, as often as it likes (each wish replaces the last), and
// gets each tile back in its own thread when it is drawn. Nothing here ever
// waits for a drawing: a call under way when the renderer goes is dropped
// with the helper that was drawing it.
//
// Tiles of one scale that are wanted together are drawn in one call and cut
// up: a PDF page is read whole for every call, whatever part of it is drawn.
class TileRenderer : public QObject {
    Q_OBJECT
  public:
    // Called with each tile drawn; never after the destructor.
    std::function<void(const TileKey&, const QImage&)> onTile;
    // Once, when the helper crashed, ran out of time or memory on this page:
    // nothing more is drawn from it.
    std::function<void(DrawingHelper::Failure)> onFailure;

    TileRenderer(DrawingHelper& helper, DrawingHelper::Page page);
    ~TileRenderer() override;

    // Tiles being drawn already are left out: they come.
    void Want(std::vector<TileKey> tiles);
    // Nothing is wanted and nothing is being drawn; always after a failure.
    bool Idle() const;
    bool Failed() const { return failed_; }

  private:
    // The next call, when none is under way.
    void Next();
    void Drawn(const QImage& drawn, DrawingHelper::Failure failure);
    // The tiles to draw in one call: the first wanted, and with it the
    // other wanted tiles of its scale in a square of tiles around it.
    std::vector<TileKey> NextBatch();

    DrawingHelper& helper_;
    DrawingHelper::Page page_;
    std::vector<TileKey> wanted_;
    std::vector<TileKey> drawingNow_;
    // The helper's call drawing them.
    DrawingHelper::Ticket call_ = 0;
    QRect area_;
    bool failed_ = false;
};
