#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "PadLink.h"

struct PadLinkChoice {
    std::unique_ptr<PadLink> library;
    // Empty when the chosen library could be loaded; otherwise what to tell
    // the operator (the program then runs without a tablet).
    QString loadError;
};

// The native handle of a window (an HWND on Windows), 0 when it has none.
// Libraries that talk to the system's tablet interface need it; the window
// toolkit lives above the tablet layer, so the caller supplies the lookup.
using NativeWindowLookup = std::function<quintptr(QObject* window)>;

// Chooses the tablet library from the environment variable KALVOR_PAD, which
// only the tablet layer reads:
//   unset or empty      on Windows the Wintab tablet, elsewhere a library
//                       that delivers nothing
//   wintab              the Wintab tablet (Windows only)
//   replay:PATH         plays the replay file PATH
// Anything else cannot be loaded: a library that delivers nothing, with a
// load error naming it. A Wintab tablet that is not there gives a library
// that delivers nothing, with a load error saying why.
PadLinkChoice CreatePadLink(const NativeWindowLookup& nativeWindow = {});
