#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <string>
#include <vector>

#include "AnsweringWindow.h"
#include "tablet/PenQueue.h"
#include "tablet/PenTracker.h"
#include "tablet/wintab/WintabDecoder.h"

namespace {

// Plays a recorded sequence (tests/data/wintab) into a decoder in `mode`.
std::vector<std::string> Play(const char* recording, std::int32_t mode) {
    QFile file(QStringLiteral(":/wintab/%1").arg(QLatin1String(recording)));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no recording " << recording;
        return {};
    }
    PenQueue queue;
    PenTracker tracker(queue);
    tracker.SetMode(mode);
    WintabDecoder decoder([&](const PenFrame& f) { tracker.Frame(f); });
    int lineNumber = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++lineNumber;
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (words == QStringList{QStringLiteral("leave")}) {
            decoder.ProximityLeft();
            continue;
        }
        bool ok = words.size() == 7 && words[0] == QLatin1String("packet");
        WintabPacket packet;
        std::uint32_t* fields[] = {&packet.status, &packet.serial, &packet.cursor, &packet.buttons};
        for (int i = 0; ok && i < 4; ++i) *fields[i] = words[i + 1].toUInt(&ok);
        if (ok) packet.x = words[5].toInt(&ok);
        if (ok) packet.y = words[6].toInt(&ok);
        if (!ok) {
            ADD_FAILURE() << recording << ":" << lineNumber << ": bad line";
            continue;
        }
        decoder.Packet(packet);
    }
    return DrainAsText(queue);
}

struct Case {
    const char* recording;
    std::int32_t mode;
    std::vector<std::string> expected;
};

}  // namespace

TEST(WintabDecoder, recorded_packets_give_the_contracts_points_and_side_presses) {
    const std::vector<Case> cases = {
        // A tap and a drag: picks where the tip went down; strokes with every
        // move and the end where the tip came up, zeroed leaving axes unused.
        {"pen_tap_and_trace.txt", 0, {"12000,8000!", "12500,8200!"}},
        {"pen_tap_and_trace.txt",
         1,
         {"12000,8000", "12000,8000!", "12500,8200", "12520,8200", "12560,8230", "12561,8231!"}},
        // The barrel button once per press, held or not, hovering or touching,
        // in its place among the stroke's points.
        {"pen_barrel.txt", 0, {"side", "3100,4100!", "side"}},
        {"pen_barrel.txt",
         1,
         {"side", "3100,4100", "side", "3120,4100", "3140,4100", "3140,4100!"}},
        // A puck's first button picks, its second is the side switch, a third
        // gives nothing.
        {"puck_buttons.txt", 0, {"20000,15000!", "21000,15000!", "side"}},
        // Dropped packets and an overflowed queue: a stroke whose release was
        // lost still ends, where the pen was last seen.
        {"lost_release.txt", 0, {"5000,5000!", "9000,9100!"}},
        {"lost_release.txt",
         1,
         {"5000,5000", "5100,5000", "5200,5000", "5200,5000!", "9000,9100", "9050,9100",
          "9050,9100!"}},
        // Leaving proximity with the tip down ends the stroke at the last
        // position, not at the zeroed axes that follow.
        {"leave_while_touching.txt",
         1,
         {"7000,3000", "7100,3050", "7100,3050!", "7500,3500", "7500,3500!"}},
        {"leave_while_touching.txt", 0, {"7000,3000!", "7500,3500!"}},
        // Another tool in the stream ends the first one's stroke.
        {"tool_change.txt", 1, {"1000,1000", "1200,1000", "1200,1000!", "1300,1100", "1300,1100!"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Play(c.recording, c.mode), c.expected) << c.recording << " in mode " << c.mode;
    }
}

TEST(WintabDecoder, serial_numbers_wrapping_or_restarting_after_a_reopen_lose_nothing) {
    PenQueue queue;
    PenTracker tracker(queue);
    tracker.SetMode(1);
    WintabDecoder decoder([&](const PenFrame& f) { tracker.Frame(f); });
    decoder.Packet({0, 0xFFFFFFFEu, 1, 1, 10, 10});
    decoder.Packet({0, 0xFFFFFFFFu, 1, 1, 20, 10});
    decoder.Packet({0, 0u, 1, 1, 30, 10});
    // A reopened context counts its serial numbers from anywhere.
    decoder.Reset();
    decoder.Packet({0, 7u, 1, 1, 40, 10});
    decoder.Packet({0, 8u, 1, 0, 40, 10});
    EXPECT_EQ(DrainAsText(queue),
              (std::vector<std::string>{"10,10", "20,10", "30,10", "40,10", "40,10!"}));
}
