#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "QueuedPadLink.h"
#include "TabletAxes.h"

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

// The native handle of a window (an HWND on Windows), 0 when it has none.
// Libraries that talk to the system's tablet interface need it; the window
// toolkit lives above the tablet layer, so the caller supplies the lookup.
using NativeWindowLookup = std::function<quintptr(QObject* window)>;

// Chooses the tablet library from the value of the environment variable
// KALVOR_PAD, which only the tablet layer reads:
//   unset or empty      Windows: the Wintab tablet; Linux: the first pen or
//                       puck tablet found (as "evdev"); when none is found,
//                       the on-screen pad
//   wintab              the Wintab tablet (Windows only)
//   evdev, evdev:PATH, evemu:FILE   (Linux) see ChooseEvdevPadLink
//   virtual             the on-screen pad
//   none                a library that delivers nothing
//   replay:PATH         plays the replay file PATH
// Anything else cannot be loaded: a library that delivers nothing, with a
// load error naming it. A Wintab tablet that is not there gives the
// on-screen pad, with a load error saying why.
PadLinkChoice ChoosePadLink(const QString& variable, const NativeWindowLookup& nativeWindow = {});

// ChoosePadLink with the value of KALVOR_PAD.
PadLinkChoice CreatePadLink(const NativeWindowLookup& nativeWindow = {});
