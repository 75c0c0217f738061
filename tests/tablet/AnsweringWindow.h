#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tablet/PadLink.h"
#include "tablet/PenQueue.h"
#include "tablet/WintabPacketEvent.h"

using Points = std::vector<std::string>;

// A point as "x,y", with "!" when it ends a stroke.
inline std::string PointText(std::int32_t x, std::int32_t y, std::int32_t strokeEnd) {
    return std::to_string(x) + "," + std::to_string(y) + (strokeEnd ? "!" : "");
}

// Drains a queue, or a library through its calls, as the window would: its
// points, and "side" per side press.
template <typename Announce, typename Take>
Points DrainWith(Announce announce, Take take) {
    Points out;
    for (std::int32_t n = announce(); n != 0; n = announce()) {
        if (n < 0) out.push_back("side");
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            take(lx, ly, px, py, end);
            out.push_back(PointText(px, py, end));
        }
    }
    return out;
}
inline Points DrainAsText(PenQueue& queue) {
    return DrainWith([&] { return queue.Announce(); }, [&](auto&... out) { queue.Take(out...); });
}
inline Points DrainAsText(PadLink& pad) {
    return DrainWith([&] { return pad.PadlinkWintab(0, 0); },
                     [&](auto&... out) { pad.PadlinkGetData(0, out...); });
}

// Runs the event loop until `done` holds or the time (ms) is up.
inline bool RunUntil(const std::function<bool()>& done, qint64 limitMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while (!done() && clock.elapsed() < limitMs);
    return done();
}
// Runs the event loop for `ms`; 0 for one pass, in which what is posted and
// due now runs.
inline void RunFor(qint64 ms) {
    RunUntil([] { return false; }, ms);
}
// Runs the event loop until a precise timer of `ms`, started now, has fired.
// Every timer of this loop due sooner has fired by then: what a stopped one
// would have done shows by not having happened.
inline bool RunPast(int ms) {
    bool fired = false;
    QTimer::singleShot(ms, Qt::PreciseTimer, [&fired] { fired = true; });
    return RunUntil([&fired] { return fired; }, ms + 10000);
}

// A window that answers every notification as the tablet handler does,
// taking at most `takeAtMost` points (a two-point distance stops early), and
// keeps the count, the points and the time (ms) of each.
class AnsweringWindow : public QObject {
  public:
    struct Notification {
        std::int32_t count = 0;
        Points points;
        qint64 atMs = 0;
    };

    explicit AnsweringWindow(PadLink& pad) : pad_(pad) { clock_.start(); }

    std::vector<Notification> notifications;
    std::int32_t takeAtMost = INT32_MAX;

    // Every point and side press taken so far, in order ("side" for one).
    Points Everything() const {
        Points all;
        for (const Notification& n : notifications) {
            if (n.count < 0) all.push_back("side");
            all.insert(all.end(), n.points.begin(), n.points.end());
        }
        return all;
    }

    bool event(QEvent* e) override {
        if (e->type() != WintabPacketEvent::EventType()) return QObject::event(e);
        Notification n;
        n.count = pad_.PadlinkWintab(0, 0);
        for (std::int32_t i = 0; i < std::min(n.count, takeAtMost); ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            pad_.PadlinkGetData(0, lx, ly, px, py, end);
            EXPECT_EQ(lx, px);
            EXPECT_EQ(ly, py);
            n.points.push_back(PointText(px, py, end));
        }
        n.atMs = clock_.elapsed();
        notifications.push_back(n);
        return true;
    }

  private:
    PadLink& pad_;
    QElapsedTimer clock_;
};

// The case every source must get right: a pick, the side switch and another
// pick, all before the window runs, reach it in that order without any
// further input (a press behind the points announced, and points behind the
// side press, are announced again by the library itself). `feed` makes the
// three happen in the source's own terms: (10,10), side, (20,20), unless the
// source counts otherwise (`expected`).
inline void ExpectPicksAroundASidePressAllArrive(PadLink& pad, AnsweringWindow& window,
                                                 const std::function<void()>& feed,
                                                 const Points& expected = {"10,10!", "side",
                                                                           "20,20!"}) {
    feed();
    RunUntil([&] { return window.Everything().size() >= expected.size(); }, 2000);
    RunFor(0);  // a notification still posted arrives
    EXPECT_EQ(window.Everything(), expected);
    EXPECT_EQ(pad.PadlinkWintab(0, 0), 0) << "all was announced";
}
