#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <functional>
#include <vector>

#include "AnsweringWindow.h"
#include "QStringPrinter.h"
#include "tablet/replay/ReplayPadLink.h"

namespace {

using Coordinates = std::vector<std::pair<std::int32_t, std::int32_t>>;

constexpr const char* kScript = "pick 1 2\nstroke 3 4 5 6 7 8\nside\n";

// A replay library started in `mode`, playing into a Window.
struct Playback {
    explicit Playback(const char* script, int mode = 0)
        : pad(ParseReplay(QString::fromLatin1(script), QStringLiteral("t")).events), window(pad) {
        pad.PadlinkSetMode(mode);
        pad.PadlinkInit(&window, 0, 0);
    }
    bool Until(std::size_t count) {
        return RunUntil([&] { return window.notifications.size() == count; });
    }

    ReplayPadLink pad;
    AnsweringWindow window;
};

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
    EXPECT_EQ(result.events[0].points, (Coordinates{{10, -20}}));
    EXPECT_EQ(result.events[1].kind, ReplayEvent::Kind::Stroke);
    EXPECT_EQ(result.events[1].points, (Coordinates{{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(result.events[2].kind, ReplayEvent::Kind::Side);
    EXPECT_EQ(result.events[3].kind, ReplayEvent::Kind::Wait);
    EXPECT_EQ(result.events[3].waitMs, 250);
    EXPECT_EQ(result.events[4].points, (Coordinates{{INT32_MIN, INT32_MAX}}));
}

TEST(ParseReplay, bad_line_is_reported_with_file_and_line_and_skipped) {
    using namespace std::string_literals;
    for (const std::string& line :
         {"Pick 1 2"s, "pick 1"s, "pick 1 2 3"s, "pick 1 x"s, "pick 2147483648 0"s, "stroke"s,
          "stroke 1 2 3"s, "side 1"s, "wait"s, "wait -5"s, "wait 1 2"s, "tap 1 2"s, "pick 1.5 2"s,
          "pick 16\0" "00 0"s /* a NUL inside: no 16 */, "wait 1\0" "0"s}) {
        const QString bad = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        // LF, CR LF and a lone CR all end a line.
        const QString text = QStringLiteral("pick 0 0\r") + bad + QStringLiteral("\r\nside\n");
        const ReplayParseResult result = ParseReplay(text, QStringLiteral("s.txt"));
        ASSERT_EQ(result.errors.size(), 1u) << line;
        EXPECT_TRUE(result.errors[0].startsWith(QStringLiteral("s.txt:2: ")))
            << result.errors[0].toStdString();
        EXPECT_TRUE(result.errors[0].endsWith(bad)) << result.errors[0].toStdString();
        EXPECT_EQ(result.events.size(), 2u) << line;
    }
}

// A stroke yields all its points in mode 1 but only its first in mode 0; a
// pick yields its point, and each ends a stroke.
TEST(ReplayPadLink, delivery_follows_the_library_mode) {
    for (const auto& [mode, stroke] :
         {std::pair{1, Points{"3,4", "5,6", "7,8!"}}, std::pair{0, Points{"3,4!"}}}) {
        Playback play(kScript, mode);
        ASSERT_TRUE(play.Until(3));
        EXPECT_EQ(play.window.notifications[0].points, (Points{"1,2!"})) << mode;
        EXPECT_EQ(play.window.notifications[1].points, stroke) << mode;
        EXPECT_EQ(play.window.notifications[2].count, -1) << mode;
        EXPECT_EQ(play.pad.PadlinkWintab(0, 0), 0) << "the side press was taken once";
        EXPECT_EQ(play.pad.Remaining(), 0u);
    }
}

TEST(ReplayPadLink, mode_is_the_one_set_when_a_line_goes_out) {
    Playback play("stroke 1 1 2 2\nstroke 3 3 4 4\n");
    ASSERT_TRUE(play.Until(1));
    play.pad.PadlinkSetMode(1);
    ASSERT_TRUE(play.Until(2));
    EXPECT_EQ(play.window.notifications[0].points.size(), 1u);
    EXPECT_EQ(play.window.notifications[1].points.size(), 2u);
}

TEST(ReplayPadLink, wait_delays_the_next_line_and_close_stops_delivery) {
    Playback play("pick 1 1\nwait 400\npick 2 2\npick 3 3\n");
    ASSERT_TRUE(play.Until(1));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(play.Until(2));
    EXPECT_GE(clock.elapsed(), 300);
    play.pad.PadlinkClose();
    ASSERT_TRUE(RunPast(200));  // the next line was due 50 ms on
    EXPECT_EQ(play.window.notifications.size(), 2u);
    EXPECT_EQ(play.pad.Remaining(), 1u);
}

TEST(ReplayPadLink, reads_its_file_and_survives_a_missing_one) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("pick 5 6\r\nbogus\r\nside\r\n");
    file.close();
    EXPECT_EQ(ReplayPadLink(path).Remaining(), 2u);

    ReplayPadLink missing(dir.filePath(QStringLiteral("absent.txt")));
    EXPECT_EQ(missing.Remaining(), 0u);
    EXPECT_FALSE(missing.Problem().isEmpty());
    AnsweringWindow window(missing);
    missing.PadlinkInit(&window, 0, 0);
    ASSERT_TRUE(RunPast(500));  // a first line would be due 300 ms on
    EXPECT_TRUE(window.notifications.empty());
}

#ifdef Q_OS_UNIX
// A FIFO is refused at once rather than waited on; a file with nothing to
// play says so when the window starts listening.
TEST(ReplayPadLink, a_fifo_is_refused_and_an_empty_file_says_it_plays_nothing) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ReplayPadLink(fifo).Problem().isEmpty());

    const QString empty = dir.filePath(QStringLiteral("empty.replay"));
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("# nothing\n") > 0);
    file.close();
    ReplayPadLink nothing(empty);
    std::vector<TabletNotice::Kind> told;
    nothing.SetNoticeSink([&](const TabletNotice& n) { told.push_back(n.kind); });
    AnsweringWindow window(nothing);
    nothing.PadlinkInit(&window, 0, 0);
    EXPECT_EQ(told, std::vector{TabletNotice::Kind::NothingPlayed});
}
#endif

// Lines with no wait between them go out on the same trip through the loop.
TEST(ReplayPadLink, picks_around_a_side_press_all_arrive) {
    Playback play("pick 10 10\nwait 0\nside\nwait 0\npick 20 20\n");
    ExpectPicksAroundASidePressAllArrive(play.pad, play.window, [] {});
}
