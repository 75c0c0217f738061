#include <gtest/gtest.h>
#include <linux/input.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include "EvemuRecording.h"
#include "QStringPrinter.h"

namespace {

const char* const kRecording =
    "# EVEMU 1.3\n"
    "# Input device name: \"Test Pen\"\n"
    "N: Test Pen #2\n"
    "I: 0003 056a 0357 0110\n"
    "P: 01 00 00 00 00 00 00 00\n"
    "B: 00 0b 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 01 1c 00 00 00 00 00 00\n"
    "B: 03 03 00 00 01 00 00 00 00\n"
    "A: 00 -100 44800 4 0 200\r\n"
    "A: 01 0 29600 4 0 150\n"
    "A: 18 0 2047 0 0\n"
    "E: 0.000001 0003 0000 12000\t# EV_ABS / ABS_X 12000\n"
    "E: 0.000001 0003 001b -005\n"
    "E: 1.5 0001 014a 0001\n"
    "E: 12.345678 0000 0000 0000\t# ------------ SYN_REPORT (0) ----------\n";

}  // namespace

TEST(EvemuRecording, reads_the_description_and_the_events) {
    const EvemuRecording r =
        EvemuRecording::Parse(QString::fromLatin1(kRecording), QStringLiteral("t"));
    EXPECT_TRUE(r.errors.empty()) << r.errors.front().toStdString();
    EXPECT_EQ(r.name, QStringLiteral("Test Pen #2"));
    EXPECT_EQ(r.bus, 0x3);
    EXPECT_EQ(r.vendor, 0x56a);
    EXPECT_EQ(r.product, 0x357);
    EXPECT_EQ(r.version, 0x110);

    // The sixth B: line of EV_KEY holds codes 0x140 to 0x17f.
    EXPECT_TRUE(r.Has(EV_KEY, BTN_TOOL_PEN));
    EXPECT_TRUE(r.Has(EV_KEY, BTN_TOUCH));
    EXPECT_TRUE(r.Has(EV_KEY, BTN_STYLUS2));
    EXPECT_FALSE(r.Has(EV_KEY, BTN_TOOL_RUBBER));
    EXPECT_TRUE(r.Has(EV_ABS, ABS_PRESSURE));
    EXPECT_FALSE(r.Has(EV_ABS, ABS_DISTANCE));

    EXPECT_EQ(r.Axes().x.minimum, -100);
    EXPECT_EQ(r.Axes().x.maximum, 44800);
    EXPECT_EQ(r.Axes().x.resolution, 200);
    EXPECT_EQ(r.Axes().y.resolution, 150);
    ASSERT_TRUE(r.AbsAxis(ABS_PRESSURE));
    EXPECT_EQ(r.AbsAxis(ABS_PRESSURE)->resolution, 0) << "old recordings have no resolution";

    ASSERT_EQ(r.events.size(), 4u);
    EXPECT_EQ(r.events[0].timeUs, 1);
    EXPECT_EQ(r.events[0].value, 12000);
    EXPECT_EQ(r.events[1].code, ABS_TILT_Y);
    EXPECT_EQ(r.events[1].value, -5);
    EXPECT_EQ(r.events[2].timeUs, 1'500'000);
    EXPECT_EQ(r.events[2].type, EV_KEY);
    EXPECT_EQ(r.events[2].code, BTN_TOUCH);
    EXPECT_EQ(r.events[3].timeUs, 12'345'678);
}

TEST(EvemuRecording, malformed_line_is_reported_with_its_line_and_skipped) {
    for (const char* line : {
             "E: 0.000001 0003 0000",           // a field short
             "E: 0.000001 0003 0000 1 2",       // one too many
             "E: now 0003 0000 1",              // no time
             "E: 0.1234567 0003 0000 1",        // more than microseconds
             "E: 0.1 0020 0000 1",              // no such event type
             "E: 0.1 0003 0300 1",              // no such code
             "E: 0.1 0003 zz 1",                // code not hex
             "E: 0.1 0003 0000 2147483648",     // value beyond 32 bits
             "A: 00 0 100",                     // an axis without its range
             "A: 40 0 1 0 0 0",                 // no such axis
             "A: 00 0 1 0 0 0 9",               // a field too many
             "B: 01 00 00",                     // bits cut short
             "B: 20 00 00 00 00 00 00 00 00",   // no such event type
             "B: 01 00 00 00 00 00 00 00 100",  // not a byte
             "I: 0003 056a",                    // ids cut short
             "I: 10000 0000 0000 0000",         // beyond 16 bits
             "P: 01",                           // properties cut short
             "L: 00",                           // no state
             "Q: 1 2 3",                        // no such line
             "EVEMU",                           // not a line of the format
         }) {
        const QString text = QStringLiteral(
                                 "N: Pen\nE: 0.000001 0000 0000 0000\n%1\n"
                                 "E: 0.000002 0000 0000 0000\n")
                                 .arg(QString::fromLatin1(line));
        const EvemuRecording r = EvemuRecording::Parse(text, QStringLiteral("pen.evemu"));
        ASSERT_EQ(r.errors.size(), 1u) << line;
        EXPECT_TRUE(r.errors[0].startsWith(QStringLiteral("pen.evemu:3: ")))
            << r.errors[0].toStdString();
        EXPECT_TRUE(r.errors[0].endsWith(QString::fromLatin1(line))) << r.errors[0].toStdString();
        EXPECT_EQ(r.events.size(), 2u) << line;
        EXPECT_EQ(r.name, QStringLiteral("Pen")) << line;
    }
}

// Whatever the bytes, reading ends with a recording and a list of errors.
TEST(EvemuRecording, arbitrary_text_never_breaks_the_reader) {
    QRandomGenerator random(20240517);
    const QString alphabet = QStringLiteral("EABINPLS: .#-0123456789abcdefx\t\r\n\n\n");
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int i = 0; i < 400; ++i) text += alphabet[random.bounded(alphabet.size())];
        const EvemuRecording r = EvemuRecording::Parse(text, QStringLiteral("noise"));
        for (const EvemuRecording::Event& e : r.events) EXPECT_LE(e.type, EV_MAX);
    }
}

TEST(EvemuRecording, unreadable_file_is_one_error) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.evemu"));
    const EvemuRecording r = EvemuRecording::Read(path);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_TRUE(r.errors[0].startsWith(path)) << r.errors[0].toStdString();
    EXPECT_TRUE(r.events.empty());
}
