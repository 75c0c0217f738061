#pragma once

#include "shell/Edition.h"

#include <QTabWidget>
#include <vector>

// The tab control sstMenu. Controls on its pages are designed relative to
// the tab control's own top-left corner, tab strip included; Qt places page
// widgets below the strip, so each control is shifted up by the page's offset
// once the strip's height is known.
class TabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr) : QTabWidget(parent) {}

    // Places a control of a page at its design rectangle (twips, relative to
    // the tab control).
    void PlaceOnPage(QWidget* control, const DesignRect& rect);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();

    struct Placed {
        QWidget* control;
        DesignRect rect;
    };
    std::vector<Placed> placed_;
};
