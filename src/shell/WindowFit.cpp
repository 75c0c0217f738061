#include "shell/WindowFit.h"

#include <algorithm>

WindowFit FitToScreen(QSize designClient, QSize minClient, QSize frame, QRect available) {
    WindowFit fit;
    const QSize room = available.size() - frame;
    if (designClient.width() <= room.width() && designClient.height() <= room.height()) {
        // The design's place: the screen's top-left corner, at the design size.
        fit.topLeft = QPoint(0, 0);
        fit.client = designClient;
        return fit;
    }
    fit.topLeft = available.topLeft();
    if (minClient.width() > room.width() || minClient.height() > room.height()) {
        fit.client = minClient;
        fit.maximize = true;
        return fit;
    }
    fit.client = QSize(std::min(designClient.width(), room.width()),
                       std::min(designClient.height(), room.height()));
    return fit;
}
