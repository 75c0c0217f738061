#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "tablet/evdev/DeviceMonitor.h"
#include "tablet/evdev/EvdevInput.h"
#include "tablet/PenInput.h"
#include "tablet/evdev/TabletDiscovery.h"

// A tablet that may be unplugged and plugged in again while the program
// runs. It reads one tablet at a time through an EvdevInput. When that
// tablet goes away (udev says so, or its node fails), the points already
// taken stay, a press under way ends without a point, and the operator is
// told; when a tablet appears (the same one again, or a first one where
// there was none at start), it is opened and read from then on, and the
// operator is told once. With a node asked for by name, only that node
// counts (a by-id link leads to its new event node after a replug).
class HotplugTablet : public PenInput {
  public:
    // Opens an event node; null with the errno value in `error` when it cannot.
    using Opener =
        std::function<std::unique_ptr<EvdevEventSource>(const QString& node, int& error)>;

    struct Setup {
        // The tablet open at start, and its event node; none when none was.
        std::unique_ptr<EvdevEventSource> opened;
        QString openedNode;
        // The path asked for ("evdev:PATH"); empty for any pen or puck tablet.
        QString wanted;
        TabletDiscovery discovery;
        Opener open;
        std::unique_ptr<DeviceMonitor> monitor;
    };

    explicit HotplugTablet(Setup setup);
    ~HotplugTablet() override;

    void Start(QueuedPadLink& link) override;
    void Stop() override;
    bool SetExclusive(bool exclusive) override;
    bool CanBeExclusive() const override { return true; }

  private:
    void Use(std::unique_ptr<EvdevEventSource> source, const QString& node);
    void DeviceChanged(bool added, const QString& node);
    void Removed(const QString& node);
    void Added(const QString& node);

    Setup setup_;
    QueuedPadLink* link_ = nullptr;
    std::unique_ptr<EvdevInput> current_;
    QString currentNode_;
    bool exclusive_ = false;
};
