#include "shell/TabControl.h"

#include "grid/Twips.h"

void TabControl::PlaceOnPage(QWidget* control, const DesignRect& rect) {
    placed_.push_back({control, rect});
    Relayout();
}

void TabControl::showEvent(QShowEvent* event) {
    QTabWidget::showEvent(event);
    Relayout();
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QTabWidget::resizeEvent(event);
    Relayout();
}

void TabControl::Relayout() {
    QWidget* page = currentWidget();
    const QPoint offset = page != nullptr ? page->mapTo(this, QPoint(0, 0)) : QPoint(0, 0);
    const double dpi = logicalDpiY();
    for (const Placed& p : placed_) {
        p.control->setGeometry(TwipsToPixels(p.rect.left, dpi) - offset.x(),
                               TwipsToPixels(p.rect.top, dpi) - offset.y(),
                               TwipsToPixels(p.rect.width, dpi),
                               TwipsToPixels(p.rect.height, dpi));
    }
}
