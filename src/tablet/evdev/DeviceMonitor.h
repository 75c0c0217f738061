#pragma once

#include <QString>
#include <functional>

// Tells of input devices coming and going, as they happen: the event node
// of each one added (once the system has set it up, permissions included)
// or removed. UdevMonitor watches the system; tests drive a fake.
class DeviceMonitor {
  public:
    using Listener = std::function<void(bool added, const QString& node)>;

    virtual ~DeviceMonitor() = default;
    // From now on, once the message loop runs; false when the system cannot
    // tell (no udev).
    virtual bool Start(Listener listener) = 0;
    virtual void Stop() = 0;
};
