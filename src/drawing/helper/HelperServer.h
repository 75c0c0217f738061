#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "drawing/DrawingFile.h"
#include "drawing/HelperWire.h"

class TileBuffer;

// The drawing helper's side: answers Kalvor's calls (HelperWire) one by one
// with DrawingFile, keeping the page last opened so that drawing its parts
// does not read the file again.
class HelperServer {
  public:
    // `maxImageBytes`: as DrawingFile::Open takes it.
    explicit HelperServer(TileBuffer& buffer, qint64 maxImageBytes = DrawingFile::kMaxImageBytes)
        : buffer_(buffer), maxImageBytes_(maxImageBytes) {}

    // The answer to one message; a message that is none of ours ends the
    // helper (none).
    std::optional<HelperWire::Reply> Answer(const QByteArray& message);

  private:
    HelperWire::Reply Inspect(const HelperWire::Request& request);
    // The page asked for, opened if it is not the one open; null with
    // `reply.error` set.
    const DrawingPage* Page(const HelperWire::Request& request, HelperWire::Reply& reply);
    HelperWire::Reply Render(const HelperWire::Request& request);

    TileBuffer& buffer_;
    qint64 maxImageBytes_;
    // The last file inspected, so that opening it inspects it no more.
    QString probed_;
    DrawingFile::Probe probe_;
    struct Open {
        QString path;
        int page = 0;
        double untaggedDpi = 0;
        DrawingFile::Opened opened;
    };
    std::optional<Open> open_;
};
