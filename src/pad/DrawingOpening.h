#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "drawing/DrawingFile.h"
#include "drawing/DrawingHelper.h"

// One drawing being opened on the pad: the file inspected by the helper,
// the page and resolution chosen once it is known, the page opened. Each
// step answers later, so that the pad and the main window go on while a
// slow or hostile file is read; destroying the opening cancels it at once
// (the helper is ended if it is inside the call).
class DrawingOpening {
  public:
    struct Choice {
        // From 1.
        int page = 1;
        // For an image without its own resolution, dots per inch; else 0.
        double untaggedDpi = 0;
    };

    // Once the file is known to be a drawing: the page and resolution, or
    // none to open nothing without a word (a box cancelled).
    std::function<std::optional<Choice>(const DrawingFile::Probe& probe)> choose;
    // Then one of these, once; the opening may be destroyed inside either.
    // `choose` and `onFailed` are called after the helper's answer has
    // ended, so that a box they show does not wait inside it.
    std::function<void(const DrawingHelper::Page& page, int pages)> onOpened;
    // `why` is for the operator; empty when `choose` gave none.
    std::function<void(const QString& why)> onFailed;

    DrawingOpening(DrawingHelper& helper, QString path);
    ~DrawingOpening();
    DrawingOpening(const DrawingOpening&) = delete;
    DrawingOpening& operator=(const DrawingOpening&) = delete;

    // Sends the first call; the callbacks are set by then.
    void Start();
    const QString& Path() const { return path_; }

  private:
    void Inspected(const DrawingFile::Probe& probe, DrawingHelper::Failure failure);
    // The page and resolution chosen, then the page opened.
    void Chosen(const DrawingFile::Probe& probe);
    void Fail(const QString& why);

    DrawingHelper& helper_;
    QString path_;
    int pages_ = 1;
    DrawingHelper::Ticket call_ = 0;
    // Held by the calls' answers: the opening may be gone when a box it
    // showed closes.
    std::shared_ptr<DrawingOpening*> self_;
};
