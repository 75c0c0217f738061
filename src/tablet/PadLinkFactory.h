#pragma once

#include "PadLink.h"

#include <QString>

#include <memory>

struct PadLinkChoice {
    std::unique_ptr<PadLink> library;
    // Empty when the chosen library could be loaded; otherwise what to tell
    // the operator (the program then runs without a tablet).
    QString loadError;
    // The on-screen pad was chosen. It is a window, which the tablet core
    // cannot build: the composition root puts it in place of `library`,
    // which until then delivers nothing.
    bool onScreenPad = false;
};

// Chooses the tablet library from the environment variable KALVOR_PAD, which
// only the tablet layer reads:
//   unset or empty      a library that delivers nothing
//   replay:PATH         plays the replay file PATH
//   virtual             the on-screen pad
// Anything else cannot be loaded: a library that delivers nothing, with a
// load error naming it.
PadLinkChoice CreatePadLink();
