#pragma once

#include <QString>
#include <optional>

// The boxes the pad shows when a drawing is opened. The product's are Qt's
// dialogs (QtPadDialogs); tests answer them through a fake, so that every
// path through an opening runs without blocking.
class PadDialogs {
  public:
    // The resolutions a scan can be given, dots per inch.
    static constexpr double kLowestDpi = 10;
    static constexpr double kHighestDpi = 10000;

    virtual ~PadDialogs() = default;

    // The open dialog: the file chosen, or empty when cancelled. `filter`
    // as Qt's file dialogs take it; `folder` where it starts.
    virtual QString OpenDrawingName(const QString& filter, const QString& folder) = 0;
    // Which page of `fileName` (it has `pages`) to open, from 1; none when
    // cancelled.
    virtual std::optional<int> ChoosePage(const QString& fileName, int pages) = 0;
    // The resolution of an image without its own, dots per inch, with
    // `proposed` offered; none when cancelled.
    virtual std::optional<int> AskDpi(const QString& fileName, int proposed) = 0;
    // A notice with an OK button.
    virtual void Notify(const QString& text) = 0;
};
