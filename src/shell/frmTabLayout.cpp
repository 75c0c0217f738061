// The window's place and size on the screen, and where the grid and the tab
// control go as its size changes.

#include <QScreen>
#include <algorithm>

#include "grid/Twips.h"
#include "grid/ui/MeiGridView.h"
#include "shell/TabControl.h"
#include "shell/WindowFit.h"
#include "shell/frmTab.h"

namespace {

// Window layout, twips. The design platform measured the gaps from the outer
// window size (frame and title bar included: 135 twips wider and 390 twips
// higher than the client area at the design size). Qt reports the client
// area, so the equivalent client-area margins are used.
constexpr int kOuterFrameWidth = 135;
constexpr int kOuterFrameHeight = 390;
constexpr int kMinWindowHeight = 6000;
constexpr int kTabBottomGap = 450 - kOuterFrameHeight;
constexpr int kGridTabGap = 225;
constexpr int kGridWidthMargin = 300 - kOuterFrameWidth;
constexpr int kMinWidthExtra = 150;

// The smallest client area the layout allows: the tab control's right edge
// plus a margin, and a fixed height, less the frame.
constexpr int kMinClientWidth = 60 + 12255 + kMinWidthExtra - kOuterFrameWidth;
constexpr int kMinClientHeight = kMinWindowHeight - kOuterFrameHeight;
constexpr int kDesignClientWidth = 14880;
constexpr int kDesignClientHeight = 10095;

}  // namespace

void frmTab::Form_Resize() {
    if (isMinimized() || resizing_) return;
    const double dpiX = DpiX();
    const double dpiY = DpiY();
    const int minWidth = kMinClientWidth;
    const int minHeight = kMinClientHeight;
    int width = PixelsToTwips(this->width(), dpiX);
    int height = PixelsToTwips(this->height(), dpiY);
    if (!isMaximized() && !isFullScreen() && (width < minWidth || height < minHeight)) {
        width = std::max(width, minWidth);
        height = std::max(height, minHeight);
        resizing_ = true;
        resize(TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
        resizing_ = false;
        width = PixelsToTwips(this->width(), dpiX);
        height = PixelsToTwips(this->height(), dpiY);
    }
    const int tabHeight = 2475;
    const int tabTop = height - tabHeight - kTabBottomGap;
    sstMenu->move(TwipsToPixels(60, dpiX), TwipsToPixels(tabTop, dpiY));
    // The margins are taken off the grid's size, not measured from its edges:
    // its height is the tab control's top less 225 and its width the outer
    // width less 300, which leaves 105 twips right of and below the grid.
    const int gridHeight = tabTop - kGridTabGap;
    msgMei->resize(TwipsToPixels(width - kGridWidthMargin, dpiX),
                   TwipsToPixels(std::max(gridHeight, 0), dpiY));
}

void frmTab::PlaceOnScreen() {
    const double dpiX = DpiX();
    const double dpiY = DpiY();
    auto size = [&](int widthTwips, int heightTwips) {
        return QSize(TwipsToPixels(widthTwips, dpiX), TwipsToPixels(heightTwips, dpiY));
    };
    const QScreen* where = screen();
    const QRect available = where != nullptr ? where->availableGeometry() : QRect();
    if (available.isEmpty()) {
        move(0, 0);
        return;
    }
    const WindowFit fit = FitToScreen(size(kDesignClientWidth, kDesignClientHeight),
                                      size(kMinClientWidth, kMinClientHeight),
                                      size(kOuterFrameWidth, kOuterFrameHeight), available);
    resize(fit.client);
    move(fit.topLeft);
    if (fit.maximize) setWindowState(windowState() | Qt::WindowMaximized);
}
