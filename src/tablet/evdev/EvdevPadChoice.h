#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "tablet/evdev/DeviceMonitor.h"
#include "tablet/evdev/EvdevEventSource.h"
#include "tablet/PadLinkChoice.h"

// Where the Linux tablet choice looks for tablets, how it opens them and
// how it hears of them coming and going; tests replace each part.
struct EvdevEnvironment {
    QString sysfsInputRoot = QStringLiteral("/sys/class/input");
    QString devInputRoot = QStringLiteral("/dev/input");
    // Opens an event node; null with the errno value in `error` when it
    // cannot. By default EvdevDevice::Open.
    std::function<std::unique_ptr<EvdevEventSource>(const QString& node, int& error)> open;
    // Watches for tablets coming and going. By default a UdevMonitor; a
    // function that returns null watches nothing.
    std::function<std::unique_ptr<DeviceMonitor>()> monitor;
};

// The choices of KALVOR_PAD that the evdev library serves:
//   unset or empty, "evdev"   the first pen or puck tablet found; without
//                             one, the on-screen pad (and a tablet plugged
//                             in later is read from then on)
//   "evdev:PATH"              that event node (a by-id link too)
//   "evemu:FILE"              plays that recording through the decoder
// nullopt for every other value. A tablet that exists but cannot be opened
// gives the on-screen pad and one notice naming it and, when permission is
// missing, the remedy. A tablet unplugged and plugged in again is read
// again without a restart.
std::optional<PadLinkChoice> ChooseEvdevPadLink(const QString& variable,
                                                const EvdevEnvironment& environment);
