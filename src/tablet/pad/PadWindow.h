#pragma once

#include <QPointF>
#include <cstdint>
#include <functional>

#include "FigureWindow.h"
#include "PenTracker.h"

// The on-screen pad "仮想タブレット": the figure window's view and undo button,
// and a drawing surface that acts as the tablet. On the surface the left
// mouse button (or a pen's tip, through Qt's tablet events) is the pen's tip:
// press = tip down, drag = movement, release = tip up; the right button (or a
// pen's barrel button) is the side switch. Each such event becomes one
// PenFrame for `onFrame`; the mode rules are the tracker's.
//
// Counts are millimetres on the screen times 80, from the screen's physical
// resolution: with the default scale ("10" and "800") a line drawn 10 mm
// long on the screen measures 10.
class PadWindow : public FigureWindow {
    Q_OBJECT
  public:
    // Counts per millimetre on the pad: 800 counts are 10 mm, as the
    // default scale says.
    static constexpr double kCountsPerMillimetre = 80.0;

    explicit PadWindow(QWidget* parent = nullptr);

    // Where each input event goes, reduced to the pen's state.
    std::function<void(const PenFrame&)> onFrame;

    // Tablet counts per screen pixel along one axis at `physicalDpi` (dots
    // per inch of the screen as built); a resolution no screen has (0, not a
    // number, an unknown size) falls back to `fallbackDpi`, then to 96.
    static double CountsPerPixel(double physicalDpi, double fallbackDpi);
    // The pad's counts at a position on its surface, in widget pixels of
    // the view.
    FigurePoint CountsAt(const QPointF& viewPosition) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Takes the scale from the screen the pad is on now.
    void UpdateScale();
    void SendFrame(const QPointF& viewPosition, bool tip, bool side);

    bool tip_ = false;
    bool side_ = false;
    bool sentAny_ = false;
    FigurePoint last_;
};
