#include "tablet/evdev/EvdevDevice.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <QFile>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Every key the decoder follows lies between BTN_MISC (BTN_0) and the last
// tool code.
constexpr unsigned kFirstKey = BTN_MISC;
constexpr unsigned kLastKey = BTN_TOOL_QUADTAP;

TabletAxis AxisOf(const libevdev* device, unsigned code) {
    const input_absinfo* info = libevdev_get_abs_info(device, code);
    if (info == nullptr) return {};
    return {info->minimum, info->maximum, static_cast<double>(info->resolution)};
}

// Hands every event that can be read now to the sink, resynchronisation
// included. False when the device failed (most often: it was unplugged),
// true when it would block.
bool DrainEvents(libevdev* device, const EvdevEventSource::Sink& sink) {
    for (;;) {
        input_event event{};
        int rc = libevdev_next_event(device, LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            sink(event.type, event.code, event.value);
            continue;
        }
        if (rc == -EAGAIN) return true;
        if (rc != LIBEVDEV_READ_STATUS_SYNC) return false;

        // The SYN_DROPPED itself, then the events that bring the state up
        // to date, until libevdev has none left.
        sink(event.type, event.code, event.value);
        while ((rc = libevdev_next_event(device, LIBEVDEV_READ_FLAG_SYNC, &event)) ==
               LIBEVDEV_READ_STATUS_SYNC)
            sink(event.type, event.code, event.value);
        if (rc != -EAGAIN) return false;
    }
}

}  // namespace

std::unique_ptr<EvdevDevice> EvdevDevice::Open(const QString& node, int& error) {
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    libevdev* device = nullptr;
    const int rc = libevdev_new_from_fd(fd, &device);
    if (rc < 0) {
        error = -rc;
        ::close(fd);
        return nullptr;
    }
    error = 0;
    return std::unique_ptr<EvdevDevice>(new EvdevDevice(node, fd, device));
}

EvdevDevice::EvdevDevice(QString node, int fd, libevdev* device)
    : node_(std::move(node)),
      fd_(fd),
      device_(device),
      name_(QString::fromUtf8(libevdev_get_name(device))),
      axes_{AxisOf(device, ABS_X), AxisOf(device, ABS_Y)} {}

EvdevDevice::~EvdevDevice() { Stop(); }

EvdevState EvdevDevice::State() const {
    EvdevState state;
    if (device_ == nullptr) return state;
    // libevdev read the kernel's state when the node was opened and keeps it
    // up to date only with the events read since: before the first one, this
    // is the state at open.
    state.x = libevdev_get_event_value(device_, EV_ABS, ABS_X);
    state.y = libevdev_get_event_value(device_, EV_ABS, ABS_Y);
    for (unsigned code = kFirstKey; code <= kLastKey; ++code) {
        if (libevdev_get_event_value(device_, EV_KEY, code) != 0)
            state.keys.push_back(static_cast<std::uint16_t>(code));
    }
    return state;
}

void EvdevDevice::Start(Sink sink, std::function<void()> gone) {
    if (device_ == nullptr) return;
    sink_ = std::move(sink);
    gone_ = std::move(gone);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
}

void EvdevDevice::Stop() {
    notifier_.reset();
    sink_ = nullptr;
    gone_ = nullptr;
    // Closing the descriptor ends a grab as well; said outright all the same.
    if (device_ != nullptr && grabbed_) libevdev_grab(device_, LIBEVDEV_UNGRAB);
    grabbed_ = false;
    if (device_ != nullptr) libevdev_free(device_);
    device_ = nullptr;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool EvdevDevice::Grab(bool grab) {
    if (device_ == nullptr) return false;
    if (grab == grabbed_) return true;
    if (libevdev_grab(device_, grab ? LIBEVDEV_GRAB : LIBEVDEV_UNGRAB) != 0) return false;
    grabbed_ = grab;
    return true;
}

void EvdevDevice::Drain() {
    if (device_ == nullptr || !sink_) return;
    if (DrainEvents(device_, sink_) || !notifier_) return;
    // A node that fails now (most often: the tablet was unplugged) would
    // wake the loop for ever; stop listening to it and tell the owner once,
    // on the next trip through the loop, where it may drop this source: not
    // from inside the notifier's own signal. Stopped before then, nothing.
    std::fprintf(stderr, "%s: tablet no longer readable\n", QFile::encodeName(node_).constData());
    notifier_->setEnabled(false);
    if (gone_) QTimer::singleShot(0, notifier_.get(), std::move(gone_));
    gone_ = nullptr;
}
