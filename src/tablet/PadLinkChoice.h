#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "tablet/QueuedPadLink.h"
#include "tablet/TabletAxes.h"

// What the choice of tablet library hands the composition root. The
// backends that can be chosen fill it in, so it sits below both them and
// the factory that picks among them.
struct PadLinkChoice {
    // The chosen library; never null. Without a device it delivers nothing
    // until an input is added (the on-screen pad, a tablet plugged in).
    std::unique_ptr<QueuedPadLink> library = std::make_unique<QueuedPadLink>();
    // Add the on-screen pad to the library. It is a window, which the tablet
    // core cannot build, so the composition root makes it.
    bool onScreenPad = false;
    // Empty when the chosen library could be loaded; otherwise what to tell
    // the operator, once (the program then goes on with the on-screen pad
    // or without a tablet).
    QString loadError;
    // The chosen tablet's name and its X and Y axes as its points come (in
    // the one count both axes are brought to), where a device or a
    // recording describes them; `rawAxes` as the device itself reports them.
    QString deviceName;
    std::optional<TabletAxes> axes;
    std::optional<TabletAxes> rawAxes;
};

// The sentence after why a tablet cannot be used, where the on-screen pad
// takes its place.
inline QString OnScreenPadFollows() { return QStringLiteral("画面上の仮想タブレットで続けます。"); }

// The native handle of a window (an HWND on Windows), 0 when it has none.
// Libraries that talk to the system's tablet interface need it; the window
// toolkit lives above the tablet layer, so the caller supplies the lookup.
using NativeWindowLookup = std::function<quintptr(QObject* window)>;
