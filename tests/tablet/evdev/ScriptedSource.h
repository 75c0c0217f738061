#pragma once

#include <gtest/gtest.h>
#include <linux/input.h>

#include <utility>
#include <vector>

#include "tablet/evdev/EvdevEventSource.h"
#include "tablet/evdev/EvemuRecording.h"

inline EvemuRecording::Event Ev(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    return {0, type, code, value};
}
inline const EvemuRecording::Event kReport = Ev(EV_SYN, SYN_REPORT, 0);

// A pen's pick at x, y as a device sends it.
inline std::vector<EvemuRecording::Event> PickEvents(std::int32_t x, std::int32_t y) {
    return {Ev(EV_KEY, BTN_TOOL_PEN, 1),
            Ev(EV_ABS, ABS_X, x),
            Ev(EV_ABS, ABS_Y, y),
            Ev(EV_KEY, BTN_TOUCH, 1),
            kReport,
            Ev(EV_KEY, BTN_TOUCH, 0),
            kReport};
}

// A grabbable source the test plays by hand, all at once, before the loop
// runs, found in the state it is given when opened.
class ScriptedSource : public EvdevEventSource {
  public:
    explicit ScriptedSource(EvdevState state = {}, TabletAxes axes = {}, QString name = {})
        : state_(std::move(state)), axes_(axes), name_(std::move(name)) {}
    QString Name() const override { return name_; }
    TabletAxes Axes() const override { return axes_; }
    EvdevState State() const override { return state_; }
    bool CanGrab() const override { return true; }
    // Like a device node, it is opened once: stopped, it is closed.
    void Start(Sink sink, std::function<void()>) override {
        EXPECT_FALSE(closed_) << "started after it was closed";
        sink_ = std::move(sink);
    }
    void Stop() override {
        sink_ = nullptr;
        closed_ = true;
    }
    void Play(const std::vector<EvemuRecording::Event>& events) {
        for (const EvemuRecording::Event& e : events)
            if (sink_) sink_(e.type, e.code, e.value);
    }

  private:
    EvdevState state_;
    TabletAxes axes_;
    QString name_;
    Sink sink_;
    bool closed_ = false;
};
