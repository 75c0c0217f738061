#include "tablet/evdev/UdevMonitor.h"

#include <libudev.h>

#include <cstring>
#include <utility>

UdevMonitor::~UdevMonitor() { Stop(); }

bool UdevMonitor::Start(Listener listener) {
    Stop();
    udev_ = udev_new();
    if (udev_ == nullptr) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "input", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        Stop();
        return false;
    }
    listener_ = std::move(listener);
    notifier_ =
        std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Receive(); });
    return true;
}

void UdevMonitor::Stop() {
    notifier_.reset();
    listener_ = nullptr;
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    if (udev_ != nullptr) udev_unref(udev_);
    udev_ = nullptr;
}

void UdevMonitor::Receive() {
    // The monitor's socket does not block: every device that waits is taken.
    while (monitor_ != nullptr) {
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr) return;
        const char* action = udev_device_get_action(device);
        // Only the event nodes: an input device's parent ("input12") and its
        // other interfaces come and go beside them.
        const char* node = udev_device_get_devnode(device);
        const char* name = udev_device_get_sysname(device);
        const bool eventNode =
            node != nullptr && name != nullptr && std::strncmp(name, "event", 5) == 0;
        const bool added = action != nullptr && std::strcmp(action, "add") == 0;
        const bool removed = action != nullptr && std::strcmp(action, "remove") == 0;
        const QString path = eventNode ? QString::fromLocal8Bit(node) : QString();
        udev_device_unref(device);
        // The listener may stop this monitor.
        if (eventNode && (added || removed) && listener_) listener_(added, path);
    }
}
