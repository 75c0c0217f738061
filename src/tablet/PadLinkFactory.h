#pragma once

#include <QString>

#include "tablet/PadLinkChoice.h"

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
