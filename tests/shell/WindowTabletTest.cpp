// The tablet beyond its points, through the real window: the pen held for
// the measurement while it runs, and what the library tells of the tablet
// (unplugged, plugged in, a pick lost) where the operator sees it.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "QStringPrinter.h"
#include "WindowFixture.h"

namespace {

struct TabletRig {
    TabletRig() {
        f.Start();
        f.window->ApplicationActivated(true);
    }
    void Press(const char* name) {
        QTest::mouseClick(f.Find<QAbstractButton>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    std::vector<bool>& Held() { return f.tablet.exclusiveCalls; }
    WindowFixture f;
};

}  // namespace

// The pen is the measurement's while a run or the calibration collects
// points and the program is the active one; it goes back to the desktop
// when the run stops, another program becomes active, and at exit.
TEST(WindowTablet, the_pen_is_held_while_points_are_collected_and_the_program_is_active) {
    TabletRig r;
    EXPECT_TRUE(r.Held().empty()) << "nothing is held before a run";
    r.Press("cmdMes(0)");
    EXPECT_EQ(r.Held(), std::vector<bool>{true});
    r.f.window->ApplicationActivated(false);
    r.f.window->ApplicationActivated(true);
    r.Press("cmdMes(1)");
    EXPECT_EQ(r.Held(), (std::vector<bool>{true, false, true, false}));

    r.Press("cmdScale");  // the calibration collects points too
    r.f.tablet.PushPick(0, 0, 1);
    r.f.tablet.PushPick(400, 0, 1);
    r.f.Deliver();
    EXPECT_EQ(r.Held(), (std::vector<bool>{true, false, true, false, true, false}))
        << "held for the calibration, given back when its second point ended it";

    r.Press("cmdMes(0)");
    r.f.Stop();
    EXPECT_EQ(r.Held().back(), false) << "given back at exit";
}

TEST(WindowTablet, a_pen_that_cannot_be_held_is_said_and_measuring_goes_on) {
    TabletRig r;
    r.f.tablet.exclusiveHolds = false;
    r.Press("cmdMes(0)");
    EXPECT_TRUE(r.f.window->TabletNoticeText().contains(QStringLiteral("他のプログラム")))
        << r.f.window->TabletNoticeText().toStdString();
    r.f.tablet.PushPick(0, 0, 1);
    r.f.tablet.PushPick(800, 0, 1);
    r.f.Deliver();
    EXPECT_EQ(r.f.window->Grid().TextMatrix(1, 1), QStringLiteral("10.00"));
    EXPECT_FALSE(r.f.window->TabletNoticeText().isEmpty()) << "it lasts for the run";
    r.Press("cmdMes(1)");
    EXPECT_TRUE(r.f.window->TabletNoticeText().isEmpty());
}

TEST(WindowTablet, turned_off_the_pen_is_never_held_and_the_choice_is_kept) {
    TabletRig r;
    auto* box = r.f.Find<QCheckBox>(QStringLiteral("chkPenGrab"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    box->setChecked(false);
    r.Press("cmdMes(0)");
    EXPECT_TRUE(r.Held().empty());
    r.f.Stop();
    WindowFixture again;
    again.services.dataDirectory = r.f.dir.path();
    again.Start();
    EXPECT_FALSE(again.Find<QCheckBox>(QStringLiteral("chkPenGrab"))->isChecked());
}

// Unplugged: the title says so until a tablet is back; the figure display
// says what happened; a lost pick is said until the next point comes.
TEST(WindowTablet, what_the_library_tells_of_the_tablet_is_shown_until_it_is_answered) {
    TabletRig r;
    const QString title = r.f.window->windowTitle();
    r.f.window->TabletNoticed({TabletNotice::Kind::Unplugged, QStringLiteral("外れた"), {}});
    EXPECT_EQ(r.f.window->windowTitle(), title + QStringLiteral("   ※タブレットが外されました"));
    EXPECT_EQ(r.f.window->TabletNoticeText(), QStringLiteral("外れた"));

    TabletAxes axes{{0, 1000, 100}, {0, 800, 100}};
    r.f.window->TabletNoticed({TabletNotice::Kind::PluggedIn, QStringLiteral("戻った"), axes});
    EXPECT_EQ(r.f.window->windowTitle(), title);
    EXPECT_EQ(r.f.Find<QLabel>(QStringLiteral("lblResolution"))->text(),
              QStringLiteral("このタブレットの分解能: X 100 / Y 100 カウント/mm"));

    r.f.window->TabletNoticed({TabletNotice::Kind::PointLost, QStringLiteral("失った"), {}});
    EXPECT_EQ(r.f.window->TabletNoticeText(), QStringLiteral("失った"));
    r.f.tablet.PushPick(5, 5, 1);
    r.f.Deliver();
    EXPECT_TRUE(r.f.window->TabletNoticeText().isEmpty());
}
