#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "PadLink.h"
#include "TabletAxes.h"

struct PadLinkChoice {
    // The chosen library; null when the on-screen pad is chosen.
    std::unique_ptr<PadLink> library;
    // Use the on-screen pad. It is a window, which the tablet core cannot
    // build, so the composition root creates it in place of `library`.
    bool onScreenPad = false;
    // Empty when the chosen library could be loaded; otherwise what to tell
    // the operator, once (the program then goes on with the on-screen pad
    // or without a tablet).
    QString loadError;
    // The chosen tablet's name and its X and Y axes, where a device or a
    // recording describes them.
    QString deviceName;
    std::optional<TabletAxes> axes;
};

// Chooses the tablet library from the value of the environment variable
// KALVOR_PAD, which only the tablet layer reads:
//   unset or empty      Linux: the first pen or puck tablet found (as
//                       "evdev"); elsewhere, or when none is found, the
//                       on-screen pad
//   evdev, evdev:PATH, evemu:FILE   (Linux) see ChooseEvdevPadLink
//   virtual             the on-screen pad
//   none                a library that delivers nothing
//   replay:PATH         plays the replay file PATH
//   virtual             the on-screen pad
// Anything else cannot be loaded: a library that delivers nothing, with a
// load error naming it.
PadLinkChoice ChoosePadLink(const QString& variable);

// ChoosePadLink with the value of KALVOR_PAD.
PadLinkChoice CreatePadLink();
