#include "PadWindow.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTabletEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kDefaultDpi = 96.0;
// Screens report their size in whole millimetres or not at all; outside this
// range the figure is not a resolution.
constexpr double kLowestDpi = 20.0;
constexpr double kHighestDpi = 2000.0;

bool PlausibleDpi(double dpi) {
    return std::isfinite(dpi) && dpi >= kLowestDpi && dpi <= kHighestDpi;
}

// Rounds counts to the contract's 32-bit integers; a position far outside
// any screen saturates instead of overflowing.
std::int32_t ToCounts(double counts) {
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!std::isfinite(counts)) return 0;
    return static_cast<std::int32_t>(std::clamp(std::round(counts), lowest, highest));
}

}  // namespace

PadWindow::PadWindow(QWidget* parent) : FigureWindow(std::nullopt, parent) {
    setObjectName(QStringLiteral("frmPad"));
    setWindowTitle(QStringLiteral("仮想タブレット"));
    View().SetGridSpacing(10.0 * kCountsPerMillimetre);
    View().setCursor(Qt::CrossCursor);
    View().installEventFilter(this);
    UpdateScale();
}

double PadWindow::CountsPerPixel(double physicalDpi, double fallbackDpi) {
    double dpi = physicalDpi;
    if (!PlausibleDpi(dpi)) dpi = fallbackDpi;
    if (!PlausibleDpi(dpi)) dpi = kDefaultDpi;
    return kCountsPerMillimetre * kMillimetresPerInch / dpi;
}

void PadWindow::UpdateScale() {
    // Mouse and tablet positions come in device-independent pixels, and the
    // screen's physical resolution is given per such pixel: millimetres on
    // the screen are pixels × 25.4 / dpi, and counts are millimetres × 80.
    const QScreen* s = screen();
    if (s == nullptr) return;
    View().SetCountsPerPixel(CountsPerPixel(s->physicalDotsPerInchX(), s->logicalDotsPerInchX()),
                             CountsPerPixel(s->physicalDotsPerInchY(), s->logicalDotsPerInchY()));
}

FigurePoint PadWindow::CountsAt(const QPointF& viewPosition) const {
    // The inverse of the view's own mapping: what is drawn lies under the
    // pointer that drew it.
    const QPointF counts = View().CountsToPixels().inverted().map(viewPosition);
    return {ToCounts(counts.x()), ToCounts(counts.y())};
}

void PadWindow::SendFrame(const QPointF& viewPosition, bool tip, bool side) {
    const FigurePoint at = CountsAt(viewPosition);
    PenFrame frame;
    frame.x = at.x;
    frame.y = at.y;
    frame.moved = !sentAny_ || at.x != last_.x || at.y != last_.y;
    frame.tip = tip;
    frame.side = side;
    if (tip == tip_ && side == side_ && !frame.moved) return;
    tip_ = tip;
    side_ = side;
    last_ = at;
    sentAny_ = true;
    if (onFrame) onFrame(frame);
}

bool PadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &View()) return FigureWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:  // the second press of a quick double pick
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            // A new stroke on a screen of another resolution takes its scale.
            if (!tip_ && (mouse->buttons() & Qt::LeftButton)) UpdateScale();
            SendFrame(mouse->position(), (mouse->buttons() & Qt::LeftButton) != 0,
                      (mouse->buttons() & Qt::RightButton) != 0);
            return true;
        }
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease: {
            // A pen reports its tip as the left button and its barrel
            // buttons as the middle and right ones. Accepted here, the event
            // is not turned into a mouse event as well.
            auto* pen = static_cast<QTabletEvent*>(event);
            const bool tip = (pen->buttons() & Qt::LeftButton) != 0;
            if (!tip_ && tip) UpdateScale();
            SendFrame(pen->position(), tip,
                      (pen->buttons() & (Qt::RightButton | Qt::MiddleButton)) != 0);
            event->accept();
            return true;
        }
        case QEvent::ContextMenu:
            // The right button is the side switch, never a menu.
            return true;
        default:
            return FigureWindow::eventFilter(watched, event);
    }
}

void PadWindow::showEvent(QShowEvent* event) {
    FigureWindow::showEvent(event);
    UpdateScale();
}

void PadWindow::hideEvent(QHideEvent* event) {
    // A stroke whose release the pad will not see still ends, where the
    // pen was last: the figure must not stay open while nobody can close it.
    if (tip_ || side_) {
        PenFrame frame;
        frame.x = last_.x;
        frame.y = last_.y;
        tip_ = false;
        side_ = false;
        if (onFrame) onFrame(frame);
    }
    FigureWindow::hideEvent(event);
}
