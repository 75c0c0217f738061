#pragma once

class QueuedPadLink;

// One device whose pen feeds a queued tablet library: a tablet's event node,
// a recording played as one, the on-screen pad. The library starts its inputs
// when it is initialised with a window and stops them when it is closed.
class PenInput {
  public:
    virtual ~PenInput() = default;

    // From now on the device's frames reach `link`, through a
    // QueuedPadLink::Pen of the input's own.
    virtual void Start(QueuedPadLink& link) = 0;
    // No frame reaches the library any more.
    virtual void Stop() = 0;

    // Keeps the device's events for this program alone, or lets the rest of
    // the desktop see them again; false when that could not be done.
    virtual bool SetExclusive(bool exclusive) {
        (void)exclusive;
        return true;
    }
    virtual bool CanBeExclusive() const { return false; }
};
