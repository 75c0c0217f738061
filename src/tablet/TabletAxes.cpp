#include "TabletAxes.h"

QString TabletAxes::ResolutionLine() const {
    // An axis without a resolution would make the line read as a wrong
    // number; say nothing rather than half of it.
    if (x.resolution <= 0 || y.resolution <= 0) return QString();
    return QStringLiteral("このタブレットの分解能: X %1 / Y %2 カウント/mm")
        .arg(x.resolution)
        .arg(y.resolution);
}
