// The figure display through the real window: every measurement done with
// the mouse on the on-screen pad, undo of the last point from the pad's keys
// and button, and what the window pushes to a display and when.

#include <QAbstractButton>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <functional>
#include <vector>

#include "NumberText.h"
#include "QStringPrinter.h"
#include "VirtualPadLink.h"
#include "WindowFixture.h"

namespace {

// Lets posted notifications (and the notifications they cause) run.
void Settle() {
    for (int i = 0; i < 4; ++i) QApplication::processEvents();
}

// The main window with the on-screen pad as its tablet and figure display.
struct PadRig {
    PadRig() {
        f.services.tablet = &pad;
        f.services.figure = &pad.Window();
        f.Start();
        Settle();
    }

    QWidget* Surface() { return &pad.Window().View(); }
    FigurePoint Counts(int x, int y) { return pad.Window().CountsAt(QPointF(x, y)); }
    // Counts in real units with the default scale "10" over "800".
    static double Real(double counts) { return counts * 10.0 / 800.0; }

    void Choose(int option) {
        auto* o = f.Find<QRadioButton>(QStringLiteral("optMes(%1)").arg(option));
        o->setChecked(true);
        QTest::mouseClick(f.Find<QAbstractButton>(QStringLiteral("cmdMes(0)")), Qt::LeftButton);
    }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Surface(), button, {}, QPoint(x, y));
        Settle();
    }
    void Drag(const std::vector<QPoint>& path) {
        QTest::mousePress(Surface(), Qt::LeftButton, {}, path.front());
        for (const QPoint& p : path) QTest::mouseMove(Surface(), p);
        QTest::mouseRelease(Surface(), Qt::LeftButton, {}, path.back());
        Settle();
    }
    // What the pad shows once the window's refresh has run.
    const Figure& Shown(std::size_t points) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return pad.Window().View().ShownFigure().points.size() == points; }, 1000))
            << "expected " << points << " points shown";
        return pad.Window().View().ShownFigure();
    }
    QString Cell(int row, int col) { return f.window->Grid().TextMatrix(row, col); }
    // The main window active with the keyboard on its grid, as the operator
    // leaves it after clicking there.
    QWidget* Grid() {
        f.window->activateWindow();
        // Not qWaitForWindowActive: a window counts as active while its pad,
        // a transient of it, has the keyboard.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return QGuiApplication::focusWindow() == f.window->windowHandle(); }));
        QWidget* grid = f.Find<QWidget>(QStringLiteral("msgMei"));
        grid->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), grid);
        return grid;
    }

    VirtualPadLink pad;  // outlives the window
    WindowFixture f;
};

double Distance(FigurePoint a, FigurePoint b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

double Area(const std::vector<FigurePoint>& p) {
    double sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const FigurePoint& a = p[i];
        const FigurePoint& b = p[(i + 1) % p.size()];
        sum += double(a.x) * b.y - double(b.x) * a.y;
    }
    return std::fabs(sum / 2);
}

}  // namespace

TEST(WindowPad, every_measurement_works_with_the_mouse_on_the_pad) {
    struct Case {
        const char* name;
        int option;
        // Draws on the pad; returns the values expected in cells (1,1), (1,2).
        std::function<std::vector<double>(PadRig&)> draw;
    };
    const std::vector<QPoint> square = {{10, 10}, {60, 10}, {60, 60}, {10, 60}};
    const auto corners = [&](PadRig& r) {
        std::vector<FigurePoint> c;
        for (const QPoint& p : square) c.push_back(r.Counts(p.x(), p.y()));
        return c;
    };
    const std::vector<Case> cases = {
        {"二点間の距離", 0,
         [](PadRig& r) {
             r.Click(10, 10);
             r.Click(40, 50);
             return std::vector{PadRig::Real(Distance(r.Counts(10, 10), r.Counts(40, 50)))};
         }},
        {"多点の面積, ended by the right button", 1,
         [&](PadRig& r) {
             for (const QPoint& p : square) r.Click(p.x(), p.y());
             r.Click(100, 100, Qt::RightButton);
             return std::vector{PadRig::Real(PadRig::Real(Area(corners(r))))};
         }},
        {"なぞり面積, ended by the release", 2,
         [&](PadRig& r) {
             r.Drag(square);
             return std::vector{PadRig::Real(PadRig::Real(Area(corners(r))))};
         }},
        {"多点の距離, ended by F12 on the pad", 3,
         [&](PadRig& r) {
             for (const QPoint& p : square) r.Click(p.x(), p.y());
             QTest::keyClick(r.Surface(), Qt::Key_F12);
             const auto c = corners(r);
             return std::vector{
                 PadRig::Real(Distance(c[0], c[1]) + Distance(c[1], c[2]) + Distance(c[2], c[3]))};
         }},
        {"なぞり距離", 4,
         [](PadRig& r) {
             r.Drag({{10, 10}, {50, 10}, {50, 40}});
             return std::vector{PadRig::Real(Distance(r.Counts(10, 10), r.Counts(50, 10)) +
                                             Distance(r.Counts(50, 10), r.Counts(50, 40)))};
         }},
        {"座標点", 5,
         [](PadRig& r) {
             r.Click(30, 40);
             const FigurePoint p = r.Counts(30, 40);
             return std::vector{PadRig::Real(p.x), PadRig::Real(p.y)};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PadRig rig;
        rig.Choose(c.option);
        const std::vector<double> expected = c.draw(rig);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(rig.Cell(1, int(i) + 1), FormatDecimals(expected[i], 2));
        EXPECT_TRUE(rig.Shown(0).points.empty()) << "the figure is cleared with the store";
    }
}

TEST(WindowPad, pad_keys_and_button_drop_the_last_point_and_the_main_windows_keys_do_not) {
    PadRig r;
    r.Choose(1);  // 多点の面積
    for (auto [x, y] : {std::pair{10, 10}, {60, 10}, {60, 60}, {10, 60}, {200, 150}}) r.Click(x, y);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 5);
    EXPECT_TRUE(r.Shown(5).closed);

    // The wrong fifth pick goes; the window shows it at once.
    QTest::keyClick(r.Surface(), Qt::Key_Backspace);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 4);
    const double area = PadRig::Real(PadRig::Real(
        Area({r.Counts(10, 10), r.Counts(60, 10), r.Counts(60, 60), r.Counts(10, 60)})));
    EXPECT_EQ(r.pad.Window().View().ShownFigure().status,
              QStringLiteral("多点の面積　4点　面積 ") + FormatDecimals(area, 2));

    // Backspace in the main window's grid is its own key: it drops no point.
    QTest::keyClick(r.Grid(), Qt::Key_Backspace);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 4);

    QTest::mouseClick(&r.pad.Window().UndoButton(), Qt::LeftButton);
    QTest::keyClick(r.Surface(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 2);
    EXPECT_EQ(r.Shown(2).status, QStringLiteral("多点の面積　2点　点が足りません"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(r.Surface(), Qt::Key_Backspace);
    EXPECT_EQ(r.f.window->Engine().points.lPointCount, 0) << "nothing below zero";

    // The next pick starts the figure afresh.
    r.Click(60, 60);
    EXPECT_EQ(r.f.window->Engine().points.lPointX[0], r.Counts(60, 60).x);
}

TEST(WindowPad, closed_pad_comes_back_with_f11) {
    PadRig r;
    r.pad.Window().close();
    EXPECT_FALSE(r.pad.Window().isVisible());
    QTest::keyClick(r.Grid(), Qt::Key_F11);
    EXPECT_TRUE(r.pad.Window().isVisible());
    EXPECT_EQ(r.Cell(1, 1), QString()) << "F11 is not typed into the grid";
}

namespace {

// Records what the window pushes.
class FakeDisplay : public FigureDisplay {
  public:
    void ShowFigure(const Figure& figure) override { shown.push_back(figure); }
    void OpenWindow() override { ++opened; }
    void SetRequests(std::function<void()> undo, std::function<void()> end) override {
        undoLastPoint = std::move(undo);
        endFigure = std::move(end);
    }
    std::vector<Figure> shown;
    int opened = 0;
    std::function<void()> undoLastPoint;
    std::function<void()> endFigure;
};

}  // namespace

TEST(WindowFigure, a_long_trace_is_pushed_once_not_per_notification) {
    FakeDisplay display;
    WindowFixture f;
    f.services.figure = &display;
    f.Start();
    QTest::qWait(50);
    display.shown.clear();

    f.window->Engine().lMesMode = kMesPicked;
    for (int batch = 0; batch < 50; ++batch) {
        for (int i = 0; i < 20; ++i) f.tablet.PushPick(batch, i);
        f.tablet.ScriptWintab(20);
        f.window->GetWintab(0, 0);
    }
    EXPECT_TRUE(display.shown.empty()) << "nothing is pushed inside the handler";
    QTest::qWait(100);
    ASSERT_EQ(display.shown.size(), 1u);
    EXPECT_EQ(display.shown[0].points.size(), 1000u);
}

TEST(WindowFigure, display_requests_reach_the_store_and_the_window_drops_them_when_gone) {
    FakeDisplay display;
    {
        WindowFixture f;
        f.services.figure = &display;
        f.Start();
        f.tablet.PushPick(1, 2);
        f.tablet.PushPick(3, 4);
        f.tablet.Notify();
        QApplication::processEvents();
        ASSERT_TRUE(display.undoLastPoint);
        display.undoLastPoint();
        EXPECT_EQ(f.window->Engine().points.lPointCount, 1);
        ASSERT_FALSE(display.shown.empty());
        EXPECT_EQ(display.shown.back().points.size(), 1u) << "an undo is shown at once";

        f.sound.commands.clear();
        display.endFigure();  // F12 on the display
        EXPECT_EQ(f.window->Engine().points.lPointCount, 0);
        EXPECT_EQ(f.sound.Plays(), 1);

        QTest::keyClick(f.Find<QWidget>(QStringLiteral("msgMei")), Qt::Key_F11);
        EXPECT_EQ(display.opened, 1);
    }
    EXPECT_FALSE(display.undoLastPoint) << "a window that is gone takes no requests";
    EXPECT_FALSE(display.endFigure);
}
