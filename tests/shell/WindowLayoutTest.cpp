// The window's resize layout: the tab control stays at the bottom at its
// size, the grid takes everything above it, and the window cannot shrink
// below what the tab control needs. Qt reports the client area, so the
// window's outer limits (12465 x 6000 twips) appear as a client area
// 135 twips narrower and 390 twips lower.

#include "shell/FormDesign.h"
#include "WindowFixture.h"

#include <QTest>

#include <cmath>

namespace {

int Px(int twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

struct LayoutRow {
    const char* what;
    int requestedWidth, requestedHeight;  // client area asked for, twips
    int width, height;                    // client area obtained, twips
    int tabTop;                           // sstMenu's top, twips
    int gridWidth, gridHeight;            // msgMei's size, twips
};

// Grid width is the outer width less 300, i.e. the client width less 165;
// grid height is the tab control's top less 225. The tab control's top is
// the outer height less its 2475 less 450, i.e. the client height less 2535.
const LayoutRow kLayouts[] = {
    {"design size", 14880, 10095, 14880, 10095, 7560, 14715, 7335},
    {"minimum size", 12330, 5610, 12330, 5610, 3075, 12165, 2850},
    {"enlarged", 18000, 12000, 18000, 12000, 9465, 17835, 9240},
    {"too small both ways", 9000, 3000, 12330, 5610, 3075, 12165, 2850},
    {"too narrow only", 9000, 12000, 12330, 12000, 9465, 12165, 9240},
    {"too low only", 18000, 3000, 18000, 5610, 3075, 17835, 2850},
};

class WindowLayout : public ::testing::Test {
protected:
    void SetUp() override {
        f.Start();
        dpi = f.window->logicalDpiY();
        grid = f.Find<QWidget>(QStringLiteral("msgMei"));
        tabs = f.Find<QWidget>(QStringLiteral("sstMenu"));
    }

    void ResizeClient(int widthTwips, int heightTwips) {
        f.window->resize(Px(widthTwips, dpi), Px(heightTwips, dpi));
        QApplication::processEvents();
    }

    WindowFixture f;
    double dpi = 96;
    QWidget* grid = nullptr;
    QWidget* tabs = nullptr;
};

// Pixels may differ by one from the twips at resolutions other than 96 dpi.
void ExpectNearRect(const QRect& actual, const QRect& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1);
    EXPECT_NEAR(actual.y(), expected.y(), 1);
    EXPECT_NEAR(actual.width(), expected.width(), 1);
    EXPECT_NEAR(actual.height(), expected.height(), 1);
}

TEST_F(WindowLayout, tab_control_stays_at_the_bottom_and_grid_fills_the_rest) {
    for (const LayoutRow& row : kLayouts) {
        SCOPED_TRACE(row.what);
        ResizeClient(row.requestedWidth, row.requestedHeight);
        EXPECT_NEAR(f.window->width(), Px(row.width, dpi), 1);
        EXPECT_NEAR(f.window->height(), Px(row.height, dpi), 1);
        // Left and size of the tab control, left and top of the grid: the
        // design's, whatever the size.
        const DesignRect tab = DesignOf("sstMenu").rect;
        const DesignRect design = DesignOf("msgMei").rect;
        ExpectNearRect(tabs->geometry(), QRect(Px(tab.left, dpi), Px(row.tabTop, dpi),
                                               Px(tab.width, dpi), Px(tab.height, dpi)));
        ExpectNearRect(grid->geometry(), QRect(Px(design.left, dpi), Px(design.top, dpi),
                                               Px(row.gridWidth, dpi), Px(row.gridHeight, dpi)));
    }
}

TEST_F(WindowLayout, enlarging_gives_all_extra_room_to_the_grid) {
    ResizeClient(14880, 10095);
    const QRect gridBefore = grid->geometry();
    const QRect tabsBefore = tabs->geometry();
    const QSize windowBefore = f.window->size();
    f.window->resize(windowBefore + QSize(200, 150));
    QApplication::processEvents();
    EXPECT_EQ(grid->width() - gridBefore.width(), 200);
    EXPECT_EQ(grid->height() - gridBefore.height(), 150);
    EXPECT_EQ(grid->pos(), gridBefore.topLeft());
    EXPECT_EQ(tabs->size(), tabsBefore.size());
    EXPECT_EQ(tabs->x(), tabsBefore.x());
    // The same distance to the window's bottom edge as before.
    EXPECT_EQ(f.window->height() - tabs->geometry().bottom(),
              windowBefore.height() - tabsBefore.bottom());
}

TEST_F(WindowLayout, minimising_and_restoring_leaves_the_layout) {
    ResizeClient(16000, 11000);
    const QRect gridBefore = grid->geometry();
    const QRect tabsBefore = tabs->geometry();
    f.window->showMinimized();
    QApplication::processEvents();
    if (!f.window->isMinimized()) GTEST_SKIP() << "the platform does not minimise windows";
    f.window->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(grid->geometry(), gridBefore);
    EXPECT_EQ(tabs->geometry(), tabsBefore);
}

}  // namespace
