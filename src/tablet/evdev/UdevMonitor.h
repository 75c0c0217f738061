#pragma once

#include <QSocketNotifier>
#include <memory>

#include "tablet/evdev/DeviceMonitor.h"

struct udev;
struct udev_monitor;

// Input devices coming and going, from udev's monitor on the "input"
// subsystem, read through a socket notifier on the user-interface thread (as
// libinput and Qt's own device discovery do). Only the events udev has
// finished with are heard, so a node it reports as added has its
// permissions set.
class UdevMonitor : public DeviceMonitor {
  public:
    UdevMonitor() = default;
    ~UdevMonitor() override;

    bool Start(Listener listener) override;
    void Stop() override;

  private:
    void Receive();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    Listener listener_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
