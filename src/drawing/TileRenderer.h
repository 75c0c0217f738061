#pragma once

#include <QImage>
#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "drawing/DrawingPage.h"
#include "drawing/TileKey.h"

// Draws a page's tiles in a thread of its own, so that rendering a large
// drawing never holds up the pen: the pad says which tiles it wants, most
// wanted first, as often as it likes (each wish replaces the last), and
// gets each tile back in its own thread when it is drawn.
//
// Tiles of one scale that are wanted together are drawn in one call to the
// page and cut up: a PDF page is read whole for every call, whatever part
// of it is drawn.
class TileRenderer : public QObject {
    Q_OBJECT
  public:
    // Called in this object's thread with each tile drawn for the page set
    // last; never after SetPage or the destructor.
    std::function<void(const TileKey&, const QImage&)> onTile;

    TileRenderer();
    ~TileRenderer() override;

    // The page to draw from; null for none. Forgets what was wanted.
    void SetPage(std::shared_ptr<const DrawingPage> page);
    // Tiles being drawn already are left out: they come.
    void Want(std::vector<TileKey> tiles);
    // Nothing is wanted and nothing is being drawn (tiles drawn may still
    // be on their way to onTile).
    bool Idle() const;

  private:
    void Run();
    // The tiles to draw in one call: the first wanted, and with it the
    // other wanted tiles of its scale in a square of tiles around it.
    std::vector<TileKey> NextBatch();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<const DrawingPage> page_;
    std::vector<TileKey> wanted_;
    std::vector<TileKey> drawingNow_;
    // Counts the pages set, so that a tile of an earlier one is dropped.
    std::uint64_t generation_ = 0;
    bool stop_ = false;
    std::thread thread_;
};
