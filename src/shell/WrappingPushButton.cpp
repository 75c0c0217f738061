#include "shell/WrappingPushButton.h"

#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// A caption is not made smaller than this share of the button's font: below
// it, wrapping reads better than squinting.
constexpr double kSmallestShare = 0.75;
constexpr double kSideAir = 3.0;  // pixels

}  // namespace

void WrappingPushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (oneLine_) {
        const double wide = QFontMetricsF(font()).horizontalAdvance(caption);
        // A little air between the caption and the button's edges.
        const double room = area.width() - 2.0 * kSideAir;
        const double share = wide > room ? room / wide : 1.0;
        if (share >= kSmallestShare) {
            QFont smaller = font();
            if (share < 1.0) smaller.setPointSizeF(font().pointSizeF() * share);
            painter.setFont(smaller);
            flags = Qt::AlignCenter;
        }
    }
    painter.drawText(area, flags, caption);
}
