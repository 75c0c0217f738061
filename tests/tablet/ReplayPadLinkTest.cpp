#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "QStringPrinter.h"
#include "ReplayPadLink.h"
#include "WintabPacketEvent.h"

namespace {

using Points = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Fetched {
    std::int32_t wintab;
    std::vector<std::vector<std::int32_t>> points;  // x, y, strokeEnd
};

// A window that, like the tablet handler, drains the library on every
// packet and keeps what each notification yielded.
class Window : public QObject {
  public:
    explicit Window(PadLink& pad) : pad_(pad) {}
    std::vector<Fetched> notifications;

    bool event(QEvent* e) override {
        if (e->type() != WintabPacketEvent::EventType()) {
            return QObject::event(e);
        }
        Fetched fetched{pad_.PadlinkWintab(0, 0), {}};
        for (std::int32_t i = 0; i < fetched.wintab; ++i) {
            std::int32_t lx = 0, ly = 0, px = 0, py = 0, end = 0;
            pad_.PadlinkGetData(0, lx, ly, px, py, end);
            EXPECT_EQ(lx, px);
            EXPECT_EQ(ly, py);
            fetched.points.push_back({px, py, end});
        }
        notifications.push_back(fetched);
        return true;
    }

  private:
    PadLink& pad_;
};

// Runs the event loop until `done` holds or the time (ms) is up.
bool RunUntil(const std::function<bool()>& done, qint64 limitMs = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

std::vector<ReplayEvent> Script() {
    return ParseReplay(QStringLiteral("pick 1 2\nstroke 3 4 5 6 7 8\nside\n"), QStringLiteral("t"))
        .events;
}

}  // namespace

TEST(ParseReplay, reads_each_kind_of_line) {
    const QString text = QStringLiteral(
        "# recorded session\r\n"
        "\r\n"
        "pick 10 -20\r\n"
        "  stroke 1 2 3 4\t5 6\r\n"
        "side\r\n"
        "wait 250\r\n"
        "pick -2147483648 2147483647");
    const ReplayParseResult result = ParseReplay(text, QStringLiteral("session.txt"));
    EXPECT_TRUE(result.errors.empty());
    ASSERT_EQ(result.events.size(), 5u);
    EXPECT_EQ(result.events[0].kind, ReplayEvent::Kind::Pick);
    EXPECT_EQ(result.events[0].points, (Points{{10, -20}}));
    EXPECT_EQ(result.events[1].kind, ReplayEvent::Kind::Stroke);
    EXPECT_EQ(result.events[1].points, (Points{{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(result.events[2].kind, ReplayEvent::Kind::Side);
    EXPECT_EQ(result.events[3].kind, ReplayEvent::Kind::Wait);
    EXPECT_EQ(result.events[3].waitMs, 250);
    EXPECT_EQ(result.events[4].points, (Points{{INT32_MIN, INT32_MAX}}));
}

TEST(ParseReplay, bad_line_is_reported_with_file_and_line_and_skipped) {
    const char* bad[] = {
        "Pick 1 2", "pick 1",       "pick 1 2 3", "pick 1 x", "pick 2147483648 0",
        "stroke",   "stroke 1 2 3", "side 1",     "wait",     "wait -5",
        "wait 1 2", "tap 1 2",      "pick 1.5 2",
    };
    for (const char* line : bad) {
        const QString text =
            QStringLiteral("pick 0 0\n") + QString::fromLatin1(line) + QStringLiteral("\nside\n");
        const ReplayParseResult result = ParseReplay(text, QStringLiteral("s.txt"));
        ASSERT_EQ(result.errors.size(), 1u) << line;
        EXPECT_TRUE(result.errors[0].startsWith(QStringLiteral("s.txt:2: ")))
            << result.errors[0].toStdString();
        EXPECT_TRUE(result.errors[0].endsWith(QString::fromLatin1(line)))
            << result.errors[0].toStdString();
        EXPECT_EQ(result.events.size(), 2u) << line;
    }
}

TEST(ReplayPadLink, stroke_mode_delivers_every_point_of_a_stroke) {
    ReplayPadLink pad(Script());
    Window window(pad);
    pad.PadlinkSetMode(1);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 3; }));
    EXPECT_EQ(window.notifications[0].points, (std::vector<std::vector<std::int32_t>>{{1, 2, 1}}));
    EXPECT_EQ(window.notifications[1].points,
              (std::vector<std::vector<std::int32_t>>{{3, 4, 0}, {5, 6, 0}, {7, 8, 1}}));
    EXPECT_EQ(window.notifications[2].wintab, -1);
    EXPECT_EQ(pad.Remaining(), 0u);
}

TEST(ReplayPadLink, pick_mode_delivers_only_where_the_pen_went_down) {
    ReplayPadLink pad(Script());
    Window window(pad);
    pad.PadlinkSetMode(0);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 3; }));
    EXPECT_EQ(window.notifications[1].points, (std::vector<std::vector<std::int32_t>>{{3, 4, 1}}));
    EXPECT_EQ(pad.PadlinkWintab(0, 0), 0) << "the side press was taken once";
}

TEST(ReplayPadLink, mode_is_the_one_set_when_a_line_goes_out) {
    ReplayPadLink pad(
        ParseReplay(QStringLiteral("stroke 1 1 2 2\nstroke 3 3 4 4\n"), QStringLiteral("t"))
            .events);
    Window window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 1; }));
    pad.PadlinkSetMode(1);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 2; }));
    EXPECT_EQ(window.notifications[0].points.size(), 1u);
    EXPECT_EQ(window.notifications[1].points.size(), 2u);
}

TEST(ReplayPadLink, wait_delays_the_next_line) {
    ReplayPadLink pad(
        ParseReplay(QStringLiteral("pick 1 1\nwait 400\npick 2 2\n"), QStringLiteral("t")).events);
    Window window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 1; }));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 2; }));
    EXPECT_GE(clock.elapsed(), 300);
}

TEST(ReplayPadLink, closed_library_delivers_nothing_more) {
    ReplayPadLink pad(Script());
    Window window(pad);
    pad.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return window.notifications.size() == 1; }));
    pad.PadlinkClose();
    RunUntil([] { return false; }, 500);
    EXPECT_EQ(window.notifications.size(), 1u);
    EXPECT_EQ(pad.Remaining(), 2u);
}

TEST(ReplayPadLink, reads_its_file_and_survives_a_missing_one) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("pick 5 6\r\nbogus\r\nside\r\n");
    file.close();
    ReplayPadLink fromFile(path);
    EXPECT_EQ(fromFile.Remaining(), 2u);

    ReplayPadLink missing(dir.filePath(QStringLiteral("absent.txt")));
    EXPECT_EQ(missing.Remaining(), 0u);
    Window window(missing);
    missing.PadlinkInit(&window, 0, 0);
    RunUntil([] { return false; }, 500);
    EXPECT_TRUE(window.notifications.empty());
}
