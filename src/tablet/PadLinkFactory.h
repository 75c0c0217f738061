#pragma once

#include "PadLink.h"

#include <QString>

#include <memory>

struct PadLinkChoice {
    std::unique_ptr<PadLink> library;
    // Empty when the chosen library could be loaded; otherwise what to tell
    // the operator (the program then runs without a tablet).
    QString loadError;
};

// Chooses the tablet library from the environment variable KALVOR_PAD, which
// only the tablet layer reads:
//   unset or empty      a library that delivers nothing
//   replay:PATH         plays the replay file PATH
// Anything else cannot be loaded: a library that delivers nothing, with a
// load error naming it.
PadLinkChoice CreatePadLink();
