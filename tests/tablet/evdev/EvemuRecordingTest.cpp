#include <gtest/gtest.h>
#include <linux/input.h>

#include <string>
#include <utility>
#include <vector>

#include "tablet/evdev/EvemuRecording.h"
#include "QStringPrinter.h"

// The recordings under tests/data exercise the ordinary lines; these are the
// less ordinary ones.
TEST(EvemuRecording, reads_continued_bits_old_axes_and_event_fields) {
    const EvemuRecording r = EvemuRecording::Parse(
        QStringLiteral("N: Pen #2\n"
                       "I: 0003 056a 0357 0110\n"
                       "B: 01 00 00 00 00 00 00 00 00\n"
                       "B: 01 00 00 00 00 00 00 00 00\n"
                       "B: 01 00 00 00 00 00 00 00 00\n"
                       "B: 01 00 00 00 00 00 00 00 00\n"
                       "B: 01 00 00 00 00 00 00 00 00\n"
                       "B: 01 01 1c 00 00 00 00 00 00\n"
                       "A: 00 -100 44800 4 0\r\n"
                       "E: 0.000001 0003 001b -005\t# EV_ABS / ABS_TILT_Y -5\n"
                       "E: 12.5 0001 014a 0001\n"),
        QStringLiteral("t"));
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.name, QStringLiteral("Pen #2"));
    EXPECT_EQ(r.product, 0x357);
    // The sixth B: line of a type holds its codes 0x140 to 0x17f.
    EXPECT_TRUE(r.Has(EV_KEY, BTN_TOOL_PEN) && r.Has(EV_KEY, BTN_TOUCH));
    EXPECT_FALSE(r.Has(EV_KEY, BTN_TOOL_RUBBER) || r.Has(EV_KEY, BTN_0));
    // Before format 1.2 an axis line has no resolution.
    EXPECT_EQ(r.Axes().x.minimum, -100);
    EXPECT_EQ(r.Axes().x.resolution, 0);
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].value, -5);
    EXPECT_EQ(r.events[1].timeUs, 12'500'000);
    EXPECT_EQ(r.events[1].code, BTN_TOUCH);
}

TEST(EvemuRecording, malformed_line_is_reported_with_its_line_and_skipped) {
    using namespace std::string_literals;
    for (const std::string& line : {
             "E: 0.000001 0003 0000"s,        // a field short
             "E: now 0003 0000 1"s,           // no time
             "E: 0.1234567 0003 0000 1"s,     // finer than microseconds
             "E: 0.1 0020 0000 1"s,           // no such event type
             "E: 0.1 0003 0000 2147483648"s,  // beyond 32 bits
             "A: 00 0 100"s,                  // an axis without its range
             "A: 01 500 100 0 0 80"s,         // its minimum above its maximum
             "B: 01 00 00"s,                  // bits cut short
             "I: 10000 0000 0000 0000"s,      // beyond 16 bits
             "Q: 1 2 3"s,                     // no such line
             "EVEMU"s,                        // not a line of the format
             "E: 0.1 0003 0000 108\0" "00"s,   // a NUL in the value: no 108
             "E: 0.1 0003 00\0" "00 1"s,       // and in a code
         }) {
        const QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        // LF, CR LF and a lone CR all end a line.
        const EvemuRecording r = EvemuRecording::Parse(
            QStringLiteral("N: Pen\rE: 0.000001 0000 0000 0000\r\n") + text +
                QStringLiteral("\nE: 0.000002 0000 0000 0000\n"),
            QStringLiteral("pen.evemu"));
        ASSERT_EQ(r.errors.size(), 1u) << line;
        EXPECT_TRUE(r.errors[0].startsWith(QStringLiteral("pen.evemu:3: ")) &&
                    r.errors[0].endsWith(text))
            << r.errors[0].toStdString();
        EXPECT_EQ(r.events.size(), 2u) << line;
    }
}

// A recording that plays nothing says why, instead of a silent pad.
TEST(EvemuRecording, one_that_gives_nothing_to_play_says_why) {
    const QString header = QStringLiteral("N: Pen\nB: 03 03 00 00 00 00 00 00 00\n");
    const QString axes = QStringLiteral("A: 00 0 100 0 0 10\nA: 01 0 100 0 0 10\n");
    for (const auto& [text, why] : std::vector<std::pair<QString, QString>>{
             {header + axes, QStringLiteral("イベントがありません")},
             {header + axes + QStringLiteral("E: 0.1 0003 0000 5\n"),
              QStringLiteral("SYN_REPORT がなく、点になりません")},
             {header + QStringLiteral("A: 00 100 0 0 0 10\nA: 01 0 100 0 0 10\n") +
                  QStringLiteral("E: 0.1 0000 0000 0\n"),
              QStringLiteral("X・Y 軸の範囲が正しくありません")},
             {header + axes + QStringLiteral("E: 0.1 0000 0000 0\n"), QString()},
         }) {
        EXPECT_EQ(EvemuRecording::Parse(text, QStringLiteral("t")).NothingToPlay(), why);
    }
}
