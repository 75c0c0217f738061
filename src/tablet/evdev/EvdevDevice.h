#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "tablet/evdev/EvdevEventSource.h"

struct libevdev;

// A tablet's event node read through libevdev. The node is opened read-only
// and non-blocking; it is grabbed only on request (Grab), so that the pen
// goes on working the desktop except while a measurement wants it alone.
// Each time the node becomes readable, its events are drained until it would
// block; after the kernel dropped events (SYN_DROPPED), libevdev's
// resynchronisation events follow, ending in a SYN_REPORT. A killed program
// releases a grab with its descriptor.
class EvdevDevice : public EvdevEventSource {
  public:
    // Null when the node cannot be opened as an evdev device; `error` then
    // holds the errno value (EACCES when permission is missing).
    static std::unique_ptr<EvdevDevice> Open(const QString& node, int& error);
    ~EvdevDevice() override;

    QString Name() const override { return name_; }
    TabletAxes Axes() const override { return axes_; }
    EvdevState State() const override;
    void Start(Sink sink, std::function<void()> gone) override;
    // Closes the node.
    void Stop() override;
    bool Grab(bool grab) override;
    bool CanGrab() const override { return true; }

  private:
    EvdevDevice(QString node, int fd, libevdev* device);
    void Drain();

    QString node_;
    int fd_;
    libevdev* device_;
    QString name_;
    TabletAxes axes_;
    Sink sink_;
    std::function<void()> gone_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool grabbed_ = false;
};
