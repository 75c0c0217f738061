#pragma once

// The main window with the on-screen pad as its tablet and figure display,
// for the window tests that measure with the mouse on the pad.

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <vector>

#include "WindowFixture.h"
#include "pad/PadInput.h"
#include "pad/PadWindow.h"
#include "tablet/QueuedPadLink.h"

// Lets posted notifications (and the notifications they cause) run.
inline void Settle() {
    for (int i = 0; i < 4; ++i) QApplication::processEvents();
}

// The main window with the on-screen pad as its tablet and figure display.
struct PadRig {
    PadWindow& Pad() { return input->Window(); }
    PadRig() {
        auto owned = std::make_unique<PadInput>();
        input = owned.get();
        pad.AddInput(std::move(owned));
        f.services.tablet = &pad;
        f.services.figure = &input->Window();
        f.Start();
        Settle();
    }

    QWidget* Surface() { return &input->Window().View(); }
    FigurePoint Counts(int x, int y) { return input->Window().CountsAt(QPointF(x, y)); }
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
            [&] { return input->Window().View().ShownFigure().points.size() == points; }, 1000))
            << "expected " << points << " points shown";
        return input->Window().View().ShownFigure();
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

    QueuedPadLink pad;  // outlives the window
    PadInput* input = nullptr;
    WindowFixture f;
};

