// The on-screen pad through Qt Test's mouse events: where a pointer lands in
// tablet counts, what the library hands the window in each mode, and when it
// notifies.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointingDevice>
#include <QPushButton>
#include <QScreen>
#include <QTabletEvent>
#include <QTest>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "VirtualPadLink.h"
#include "WintabPacketEvent.h"

namespace {

// Stands in for the main window: counts the notifications posted to it.
class Receiver : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == WintabPacketEvent::EventType()) {
            ++notifications;
            return true;
        }
        return QObject::event(e);
    }
    int notifications = 0;
};

// What the library hands out, taken as the window takes it, written as
// "x,y" (with "!" on a stroke's last point) and "side".
std::vector<std::string> Drain(PadLink& pad) {
    std::vector<std::string> out;
    for (;;) {
        const std::int32_t n = pad.PadlinkWintab(0, 0);
        if (n == 0) break;
        if (n < 0) {
            out.push_back("side");
            continue;
        }
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t lx, ly, px, py, end;
            pad.PadlinkGetData(0, lx, ly, px, py, end);
            out.push_back(std::to_string(px) + "," + std::to_string(py) + (end ? "!" : ""));
        }
    }
    return out;
}

class Pad : public ::testing::Test {
  protected:
    void SetUp() override {
        pad.PadlinkInit(&receiver, 0, 0);
        QApplication::processEvents();  // the pad appears once the loop runs
        ASSERT_TRUE(Window().isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
    }
    void TearDown() override { pad.PadlinkClose(); }

    PadWindow& Window() { return pad.Window(); }
    QWidget* Surface() { return &Window().View(); }
    std::string At(int x, int y, bool end = false) {
        const FigurePoint p = Window().CountsAt(QPointF(x, y));
        return std::to_string(p.x) + "," + std::to_string(p.y) + (end ? "!" : "");
    }

    Receiver receiver;
    VirtualPadLink pad;
};

}  // namespace

TEST(PadScale, counts_are_screen_millimetres_times_80) {
    struct Row {
        double physicalDpi;
        double fallbackDpi;
        double countsPerPixel;
    };
    const Row rows[] = {
        {25.4 * 4, 96, 80.0 / 4},   // 4 pixels per millimetre
        {96, 120, 80 * 25.4 / 96},  // the physical resolution wins
        {0, 120, 80 * 25.4 / 120},  // a screen of unknown size
        {NAN, 0, 80 * 25.4 / 96},  {1e6, INFINITY, 80 * 25.4 / 96},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.physicalDpi << " / " << row.fallbackDpi);
        EXPECT_DOUBLE_EQ(PadWindow::CountsPerPixel(row.physicalDpi, row.fallbackDpi),
                         row.countsPerPixel);
    }
}

TEST_F(Pad, drag_of_n_pixels_gives_the_counts_of_its_length_on_the_screen) {
    const QScreen* screen = Window().screen();
    const double perPixelX =
        PadWindow::CountsPerPixel(screen->physicalDotsPerInchX(), screen->logicalDotsPerInchX());
    const double perPixelY =
        PadWindow::CountsPerPixel(screen->physicalDotsPerInchY(), screen->logicalDotsPerInchY());
    // 10 mm on this screen, to the nearest pixel.
    const int n = static_cast<int>(std::lround(screen->physicalDotsPerInchX() * 10 / 25.4));

    pad.PadlinkSetMode(1);
    QTest::mousePress(Surface(), Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseMove(Surface(), QPoint(10 + n, 20));
    QTest::mouseMove(Surface(), QPoint(10 + n, 20 + n));
    QTest::mouseRelease(Surface(), Qt::LeftButton, {}, QPoint(10 + n, 20 + n));

    std::vector<std::int32_t> x, y;
    for (;;) {
        const std::int32_t count = pad.PadlinkWintab(0, 0);
        if (count <= 0) break;
        for (std::int32_t i = 0; i < count; ++i) {
            std::int32_t lx, ly, px, py, end;
            pad.PadlinkGetData(0, lx, ly, px, py, end);
            x.push_back(px);
            y.push_back(py);
        }
    }
    ASSERT_EQ(x.size(), 4u);
    // Counts from the surface's top-left corner.
    EXPECT_EQ(x[0], std::lround(10 * perPixelX));
    EXPECT_EQ(y[0], std::lround(20 * perPixelY));
    EXPECT_NEAR(x[1] - x[0], n * perPixelX, 1.0);
    EXPECT_NEAR(y[2] - y[1], n * perPixelY, 1.0);
    // With the default scale ("10" and "800") the line measures 10 mm, give
    // or take the pixel it was rounded to.
    EXPECT_NEAR((x[1] - x[0]) * 10.0 / 800.0, 10.0, 25.4 / screen->physicalDotsPerInchX());
}

TEST_F(Pad, mouse_acts_as_the_pen_in_the_library_mode) {
    struct Case {
        const char* name;
        std::int32_t mode;
        std::function<void(QWidget*)> gesture;
        std::vector<std::string> expected;
    };
    const auto click = [](QWidget* w, Qt::MouseButton b, QPoint p) {
        QTest::mouseClick(w, b, {}, p);
    };
    const auto drag = [](QWidget* w) {
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(w, QPoint(20, 10));
        QTest::mouseMove(w, QPoint(30, 15));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(30, 15));
    };
    const std::vector<Case> cases = {
        {"press_is_a_pick",
         0,
         [&](QWidget* w) {
             click(w, Qt::LeftButton, {40, 50});
         },
         {At(40, 50, true)}},
        {"drag_in_pick_mode_is_one_pick_where_it_went_down", 0, drag, {At(10, 10, true)}},
        {"drag_is_a_stroke_with_its_last_point_marked",
         1,
         drag,
         {At(10, 10), At(20, 10), At(30, 15), At(30, 15, true)}},
        {"click_in_stroke_mode_is_a_stroke_that_never_moved",
         1,
         [&](QWidget* w) {
             click(w, Qt::LeftButton, {7, 8});
         },
         {At(7, 8), At(7, 8, true)}},
        {"right_button_is_the_side_switch",
         0,
         [&](QWidget* w) {
             click(w, Qt::RightButton, {5, 5});
         },
         {"side"}},
        {"side_switch_during_a_stroke_keeps_its_place_behind_the_points",
         1,
         [&](QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
             QTest::mouseMove(w, QPoint(20, 10));
             QTest::mousePress(w, Qt::RightButton, {}, QPoint(20, 10));
             QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(20, 10));
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(20, 10));
         },
         {At(10, 10), At(20, 10), "side", At(20, 10, true)}},
        // The second press of a double click comes as a double-click event
        // (QTest sends that event alone).
        {"quick_double_pick_gives_two_picks",
         0,
         [&](QWidget* w) {
             QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(12, 12));
             QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(12, 12));
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(12, 12));
         },
         {At(12, 12, true), At(12, 12, true)}},
        {"middle_button_is_nothing",
         0,
         [&](QWidget* w) {
             click(w, Qt::MiddleButton, {9, 9});
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pad.PadlinkSetMode(c.mode);
        c.gesture(Surface());
        EXPECT_EQ(Drain(pad), c.expected);
    }
}

TEST_F(Pad, pen_tip_and_barrel_buttons_through_tablet_events) {
    const QPointingDevice stylus(QStringLiteral("stylus"), 1, QInputDevice::DeviceType::Stylus,
                                 QPointingDevice::PointerType::Pen,
                                 QInputDevice::Capability::Position, 1, 3);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                          Qt::MouseButtons held) {
        QTabletEvent event(type, &stylus, at, Surface()->mapToGlobal(at), held ? 0.5 : 0.0, 0, 0, 0,
                           0, 0, {}, button, held);
        QApplication::sendEvent(Surface(), &event);
        EXPECT_TRUE(event.isAccepted()) << "no mouse event is made of it as well";
    };
    pad.PadlinkSetMode(1);
    send(QEvent::TabletMove, {5, 5}, Qt::NoButton, {});  // hovering
    send(QEvent::TabletPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::TabletMove, {20, 10}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::TabletRelease, {20, 10}, Qt::LeftButton, {});
    for (Qt::MouseButton barrel : {Qt::MiddleButton, Qt::RightButton}) {
        send(QEvent::TabletPress, {20, 10}, barrel, barrel);
        send(QEvent::TabletRelease, {20, 10}, barrel, {});
    }
    EXPECT_EQ(Drain(pad),
              (std::vector<std::string>{At(10, 10), At(20, 10), At(20, 10, true), "side", "side"}));
}

TEST_F(Pad, one_notification_for_what_arrived_and_another_for_a_side_press_behind_it) {
    pad.PadlinkSetMode(1);
    QTest::mousePress(Surface(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(Surface(), QPoint(20, 10));
    QTest::mouseMove(Surface(), QPoint(30, 10));
    QTest::mouseRelease(Surface(), Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseClick(Surface(), Qt::RightButton, {}, QPoint(30, 10));
    QApplication::processEvents();
    EXPECT_EQ(receiver.notifications, 1);

    EXPECT_EQ(pad.PadlinkWintab(0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        std::int32_t lx, ly, px, py, end;
        pad.PadlinkGetData(0, lx, ly, px, py, end);
    }
    QApplication::processEvents();
    EXPECT_EQ(receiver.notifications, 2) << "the side press needs its own notification";
    EXPECT_EQ(pad.PadlinkWintab(0, 0), -1);
    QApplication::processEvents();
    EXPECT_EQ(receiver.notifications, 2);

    // Input after the last notification was taken is announced anew.
    QTest::mouseClick(Surface(), Qt::LeftButton, {}, QPoint(3, 3));
    QApplication::processEvents();
    EXPECT_EQ(receiver.notifications, 3);
}

TEST_F(Pad, hiding_the_pad_mid_stroke_ends_the_stroke_and_closing_stops_the_input) {
    pad.PadlinkSetMode(1);
    QTest::mousePress(Surface(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(Surface(), QPoint(20, 10));
    Window().hide();
    EXPECT_EQ(Drain(pad), (std::vector<std::string>{At(10, 10), At(20, 10), At(20, 10, true)}));

    Window().OpenWindow();
    pad.PadlinkClose();
    EXPECT_FALSE(Window().isVisible());
    QTest::mouseClick(Surface(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Drain(pad).empty());
}

TEST_F(Pad, undo_and_f12_are_asked_for_by_button_and_keys_only) {
    int undos = 0;
    int ends = 0;
    Window().SetRequests([&] { ++undos; }, [&] { ++ends; });
    QTest::mouseClick(&Window().UndoButton(), Qt::LeftButton);
    EXPECT_EQ(Window().UndoButton().text(), QStringLiteral("最後の点を取消"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("仮想タブレット"));
    QTest::keyClick(Surface(), Qt::Key_Backspace);
    QTest::keyClick(Surface(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(Surface(), Qt::Key_Z);
    QTest::keyClick(Surface(), Qt::Key_Delete);
    EXPECT_EQ(undos, 3);
    QTest::keyClick(Surface(), Qt::Key_F12);
    EXPECT_EQ(ends, 1);
    // Undo is a request: the pad itself holds nothing to drop.
    EXPECT_TRUE(Drain(pad).empty());
}
