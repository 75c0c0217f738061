// The sample replay files the README offers give the values their comments
// promise, through the real window.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>

#include "QStringPrinter.h"
#include "tablet/replay/ReplayPadLink.h"
#include "exchange/TextTable.h"
#include "WindowFixture.h"

namespace {

struct SampleCase {
    const char* file;
    int option;         // optMes index
    bool origin;        // tick "次点を原点にする"
    const char* table;  // the grid afterwards, as a text table
};

TEST(WindowSamples, every_sample_replay_gives_the_value_its_comment_names) {
    const SampleCase samples[] = {
        {"two-point-distance.replay", 0, false, "50.00\r\n"},
        {"polygon-area.replay", 1, false, "400.00\r\n"},
        {"traced-area.replay", 2, false, "300.00\r\n"},
        {"polyline-length.replay", 3, false, "20.00\r\n"},
        {"traced-length.replay", 4, false, "30.00\r\n"},
        {"coordinates.replay", 5, true, ".00,.00\r\n10.00,5.00\r\n-5.00,20.00\r\n"},
    };
    for (const SampleCase& sample : samples) {
        SCOPED_TRACE(sample.file);
        QFile file(QStringLiteral(":/samples/") + QString::fromLatin1(sample.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const ReplayParseResult replay =
            ParseReplay(QString::fromUtf8(file.readAll()), file.fileName());
        EXPECT_TRUE(replay.errors.empty());

        WindowFixture f;
        frmTab& w = f.Start(true);
        f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(sample.option))->setChecked(true);
        if (sample.origin) f.Find<QCheckBox>(QStringLiteral("chkOrgPos"))->setChecked(true);
        w.cmdMes_Click(0);
        // Each line is one notification, as the replay library delivers it in
        // the library mode the run asked for.
        for (const ReplayEvent& event : replay.events) {
            if (event.kind == ReplayEvent::Kind::Wait) continue;
            if (event.kind == ReplayEvent::Kind::Side) {
                f.tablet.PushSide();
            } else if (event.kind == ReplayEvent::Kind::Stroke && f.tablet.mode == 1) {
                f.tablet.PushStroke(event.points);
            } else {
                f.tablet.PushPick(event.points.front().first, event.points.front().second, 1);
            }
            f.Deliver();
        }
        EXPECT_EQ(BuildTextTable(w.Grid(), QStringLiteral(",")), QString::fromUtf8(sample.table));
    }
}

}  // namespace
