// Where the desktop places every window itself (Wayland, weston's window
// manager under Xwayland), the figure window and the pad are shown inside
// the main window, over its grid, where they cannot cover its controls.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

#include "measure/ui/FigureWindow.h"
#include "measure/ui/SidePlacement.h"
#include "measure/ui/WindowPlacing.h"

namespace {

TEST(WindowPlacing, windows_are_docked_where_the_desktop_places_them_itself) {
    struct Case {
        const char* platform;
        const char* windowManager;
        bool places;
    };
    for (const Case& c : {
             Case{"xcb", "Openbox", true},
             Case{"xcb", "GNOME Shell", true},
             Case{"xcb", "", true},  // no window manager, or one that does not say
             Case{"xcb", "Weston WM", false},
             Case{"wayland", "", false},
             Case{"wayland-egl", "", false},
             Case{"windows", "", true},
             Case{"offscreen", "", true},
         }) {
        SCOPED_TRACE(std::string(c.platform) + " / " + c.windowManager);
        EXPECT_EQ(
            ProgramPlacesWindows(QString::fromUtf8(c.platform), QString::fromUtf8(c.windowManager)),
            c.places);
    }
}

TEST(WindowPlacing, a_docked_window_takes_the_grids_right_part_and_nothing_outside_it) {
    const QRect grid(8, 8, 976, 480);
    EXPECT_EQ(DockedPlace(grid, QSize(455, 176)), QRect(529, 8, 455, 480));
    // A grid narrower than the window: the whole grid, never past it.
    EXPECT_EQ(DockedPlace(QRect(8, 8, 300, 480), QSize(455, 176)), QRect(8, 8, 300, 480));
}

// A main window as the program's: a grid it lets side windows cover, and
// its controls below it.
struct Owner {
    QWidget window;
    QWidget* grid = new QWidget(&window);
    QWidget* controls = new QWidget(&window);

    Owner() {
        window.resize(992, 673);
        grid->setGeometry(8, 8, 976, 480);
        controls->setGeometry(4, 500, 984, 169);
        window.setProperty(kCoverableProperty, QVariant::fromValue<QObject*>(grid));
    }
};

TEST(DockedSideWindow, a_docked_window_lies_over_the_grid_and_follows_the_main_windows_size) {
    Owner owner;
    owner.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner.window));
    FigureWindow figure;
    figure.SetDocked(true);
    figure.ShowAbove(&owner.window);
    ASSERT_TRUE(figure.isVisible());
    EXPECT_EQ(figure.parentWidget(), &owner.window)
        << "inside the main window, no window of its own";
    EXPECT_TRUE(owner.grid->geometry().contains(figure.geometry()));
    EXPECT_FALSE(figure.geometry().intersects(owner.controls->geometry()));
    EXPECT_EQ(figure.geometry().right(), owner.grid->geometry().right());
    EXPECT_FALSE(figure.hasFocus() || figure.isAncestorOf(QApplication::focusWidget()))
        << "the keys stay with the main window";

    // The grid grows with the main window (as the program's own layout
    // does): the window keeps to its right edge.
    owner.window.resize(1200, 673);
    owner.grid->setGeometry(8, 8, 1184, 480);
    QTRY_COMPARE(figure.geometry().right(), owner.grid->geometry().right());
    EXPECT_TRUE(owner.grid->geometry().contains(figure.geometry()));
}

TEST(DockedSideWindow, a_docked_window_outlives_the_main_window_that_shows_it) {
    // The pad belongs to the tablet library, which the program ends after
    // the main window: the main window must not delete it.
    auto owner = std::make_unique<Owner>();
    FigureWindow figure;
    figure.SetDocked(true);
    figure.ShowAbove(&owner->window);
    ASSERT_EQ(figure.parentWidget(), &owner->window);
    owner.reset();
    EXPECT_EQ(figure.parentWidget(), nullptr);
    EXPECT_FALSE(figure.isVisible());
}

}  // namespace
