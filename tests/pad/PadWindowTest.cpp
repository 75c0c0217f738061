// The on-screen pad through Qt Test's mouse events and Qt's tablet events:
// where a pointer lands in tablet counts and what the library hands the
// window in each mode.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointingDevice>
#include <QScreen>
#include <QTabletEvent>
#include <QTest>
#include <cmath>
#include <functional>
#include <vector>

#include "PadTestSupport.h"

using PadSurface = PadFixture;

TEST(PadScale, counts_are_screen_millimetres_times_80_and_an_unknown_screen_size_falls_back) {
    EXPECT_DOUBLE_EQ(PadWindow::CountsPerPixel(25.4 * 4, 96), 20.0);  // 4 pixels a millimetre
    EXPECT_DOUBLE_EQ(PadWindow::CountsPerPixel(0, 120), 80 * 25.4 / 120);
    EXPECT_DOUBLE_EQ(PadWindow::CountsPerPixel(NAN, INFINITY), 80 * 25.4 / 96);
    // A headless compositor's 1 pixel = 1 mm is no screen's resolution.
    EXPECT_DOUBLE_EQ(PadWindow::CountsPerPixel(25.4, 96), 80 * 25.4 / 96);
}

// At 1366 x 768 the zoom label shown with a drawing widened the pad past the
// screen's edge, and the wider place was kept for every later start.
TEST(PadPlace, a_drawing_shown_never_widens_the_pad) {
    PadWindow pad;
    const QSize blank = pad.minimumSizeHint();
    auto* zoom = pad.findChild<QLabel*>(QStringLiteral("lblZoom"));
    ASSERT_NE(zoom, nullptr);
    zoom->setText(QStringLiteral("3200%"));
    zoom->setVisible(true);
    EXPECT_EQ(pad.minimumSizeHint().width(), blank.width());
}

TEST_F(PadSurface, drag_of_n_pixels_gives_the_counts_of_its_length_on_the_screen) {
    const QScreen* screen = Pad().screen();
    const double dpiX = screen->physicalDotsPerInchX();
    const double perPixelX = PadWindow::CountsPerPixel(dpiX, screen->logicalDotsPerInchX());
    const double perPixelY =
        PadWindow::CountsPerPixel(screen->physicalDotsPerInchY(), screen->logicalDotsPerInchY());
    const int n = static_cast<int>(std::lround(dpiX * 10 / 25.4));  // 10 mm, to the pixel
    library.PadlinkSetMode(1);
    QTest::mousePress(&View(), Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseMove(&View(), QPoint(10 + n, 20));
    QTest::mouseMove(&View(), QPoint(10 + n, 20 + n));
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, QPoint(10 + n, 20 + n));

    std::vector<FigurePoint> p(4);
    ASSERT_EQ(library.PadlinkWintab(0, 0), 4);
    for (FigurePoint& q : p) {
        std::int32_t lx, ly, end;
        library.PadlinkGetData(0, lx, ly, q.x, q.y, end);
    }
    // Counts from the surface's top-left corner, along each axis by its own
    // resolution.
    EXPECT_EQ(p[0].x, std::lround(10 * perPixelX));
    EXPECT_EQ(p[0].y, std::lround(20 * perPixelY));
    EXPECT_NEAR(p[2].y - p[1].y, n * perPixelY, 1.0);
    // With the default scale ("10" and "800") the line measures 10 mm, give
    // or take the pixel it was rounded to.
    EXPECT_NEAR((p[1].x - p[0].x) * 10.0 / 800.0, 10.0, 25.4 / dpiX);
}

TEST_F(PadSurface, mouse_and_pen_act_as_the_pen_in_the_library_mode) {
    const QPointingDevice stylus(QStringLiteral("stylus"), 1, QInputDevice::DeviceType::Stylus,
                                 QPointingDevice::PointerType::Pen,
                                 QInputDevice::Capability::Position, 1, 3);
    const auto pen = [&](QEvent::Type type, QPoint at, Qt::MouseButton button,
                         Qt::MouseButtons held) {
        QTabletEvent e(type, &stylus, at, View().mapToGlobal(at), 0.5, 0, 0, 0, 0, 0, {}, button,
                       held);
        QApplication::sendEvent(&View(), &e);
        EXPECT_TRUE(e.isAccepted()) << "no mouse event is made of it as well";
    };
    struct Case {
        const char* name;
        std::int32_t mode;
        std::function<void(QWidget*)> gesture;
        Points expected;
    };
    const std::vector<Case> cases = {
        {"drag_in_pick_mode_is_one_pick_where_it_went_down",
         0,
         [](QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
             QTest::mouseMove(w, QPoint(20, 10));
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(20, 10));
         },
         {At(10, 10, true)}},
        {"right_button_is_the_side_switch_and_keeps_its_place_in_a_stroke",
         1,
         [](QWidget* w) {
             QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 10));
             QTest::mouseClick(w, Qt::RightButton, {}, QPoint(10, 10));
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(10, 10));
         },
         {At(10, 10), "side", At(10, 10, true)}},
        // The second press of a double click comes as a double-click event
        // (QTest sends that event alone).
        {"quick_double_pick_gives_two_picks",
         0,
         [](QWidget* w) {
             QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(12, 12));
             QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(12, 12));
             QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(12, 12));
         },
         {At(12, 12, true), At(12, 12, true)}},
        {"pen_tip_strokes_and_either_barrel_button_is_the_side_switch",
         1,
         [&](QWidget*) {
             pen(QEvent::TabletMove, {5, 5}, Qt::NoButton, {});  // hovering
             pen(QEvent::TabletPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
             pen(QEvent::TabletMove, {20, 10}, Qt::NoButton, Qt::LeftButton);
             pen(QEvent::TabletRelease, {20, 10}, Qt::LeftButton, {});
             for (Qt::MouseButton barrel : {Qt::MiddleButton, Qt::RightButton}) {
                 pen(QEvent::TabletPress, {20, 10}, barrel, barrel);
                 pen(QEvent::TabletRelease, {20, 10}, barrel, {});
             }
         },
         {At(10, 10), At(20, 10), At(20, 10, true), "side", "side"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.PadlinkSetMode(c.mode);
        c.gesture(&View());
        EXPECT_EQ(DrainAsText(library), c.expected);
    }
}

TEST_F(PadSurface, hiding_the_pad_mid_stroke_ends_the_stroke_and_closing_stops_the_input) {
    library.PadlinkSetMode(1);
    QTest::mousePress(&View(), Qt::LeftButton, {}, QPoint(10, 10));
    Pad().hide();
    EXPECT_EQ(DrainAsText(library), (Points{At(10, 10), At(10, 10, true)}));
    Pad().OpenWindow();
    library.PadlinkClose();
    EXPECT_FALSE(Pad().isVisible());
    QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(DrainAsText(library).empty());
}

TEST(PadPlace, the_pad_opens_beside_its_owner_and_is_kept_where_the_operator_put_it) {
    QWidget owner;
    owner.setGeometry(0, 0, 400, 300);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QRect available = owner.screen()->availableGeometry();
    FakePadSettings settings;

    QPoint movedTo;
    {
        PadWindow pad;
        pad.SetSettings(&settings);
        pad.ShowAbove(&owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pad));
        EXPECT_TRUE(available.contains(pad.frameGeometry()));
        EXPECT_FALSE(pad.frameGeometry().intersects(owner.frameGeometry()));
        // A place waiting to be written is written when the settings are
        // taken away: where the program put the pad waits for nothing.
        QCoreApplication::processEvents();
        pad.SetSettings(nullptr);
        EXPECT_EQ(settings.writes, 0) << "where the program put it is not kept";
        pad.SetSettings(&settings);

        ASSERT_TRUE(QTest::qWaitFor([&] { return pad.Settled(); }, 3000));
        EXPECT_EQ(settings.writes, 0) << "nor where it was when framed";
        movedTo = pad.pos() + QPoint(-30, 40);
        pad.move(movedTo);
        EXPECT_TRUE(QTest::qWaitFor([&] { return settings.writes == 1; }, 2000));
        EXPECT_EQ(settings.keys.value(QStringLiteral("PadLeft")), QString::number(movedTo.x()));
        EXPECT_EQ(settings.keys.value(QStringLiteral("PadTop")), QString::number(movedTo.y()));
        EXPECT_EQ(settings.keys.value(QStringLiteral("PadWidth")), QString::number(pad.width()));
        pad.SetSettings(nullptr);
    }
    struct Case {
        const char* name;
        QString left;
        QString top;
    };
    for (const Case& c : {Case{"kept", QString::number(movedTo.x()), QString::number(movedTo.y())},
                          // Kept on a screen that has gone since.
                          Case{"off screen", QStringLiteral("99999"), QStringLiteral("-5000")},
                          Case{"not a number", QStringLiteral("x"), QStringLiteral("10")}}) {
        SCOPED_TRACE(c.name);
        settings.keys.insert(QStringLiteral("PadLeft"), c.left);
        settings.keys.insert(QStringLiteral("PadTop"), c.top);
        PadWindow again;
        again.SetSettings(&settings);
        again.ShowAbove(&owner);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
        EXPECT_TRUE(available.contains(again.frameGeometry()));
        if (c.left.toInt() == movedTo.x()) {
            EXPECT_EQ(again.pos(), movedTo);
        }
        again.SetSettings(nullptr);
    }
}
