#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <cstddef>

#include "tablet/evdev/EvdevEventSource.h"
#include "tablet/evdev/EvemuRecording.h"

// Plays a recorded device in real time: once started, its first event goes
// out after a short delay (so that the window is up before the pen moves),
// and every later one as long after the first as the recording's timestamps
// say. Events with the same due time go out together, so a frame is never
// split across trips through the message loop.
class EvemuPlayer : public EvdevEventSource {
  public:
    static constexpr int kStartDelayMs = 300;

    explicit EvemuPlayer(EvemuRecording recording, int startDelayMs = kStartDelayMs);

    QString Name() const override { return recording_.name; }
    TabletAxes Axes() const override { return recording_.Axes(); }
    QString NothingToPlay() const override;
    void Start(Sink sink, std::function<void()> gone) override;
    void Stop() override;

    // Events not yet played.
    std::size_t Remaining() const { return recording_.events.size() - next_; }

  private:
    void PlayDue();

    EvemuRecording recording_;
    int startDelayMs_;
    std::size_t next_ = 0;
    Sink sink_;
    QTimer timer_;
    QElapsedTimer clock_;
};
