#include "tablet/TabletAxes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool Known(const TabletAxis& axis) {
    return std::isfinite(axis.resolution) && axis.resolution > 0.0;
}

// What the counts of `axis` are multiplied by to reach the common count.
double Factor(const TabletAxes& axes, const TabletAxis& axis) {
    if (!Known(axes.x) || !Known(axes.y)) return 1.0;
    return std::max(axes.x.resolution, axes.y.resolution) / axis.resolution;
}

std::int32_t Scaled(std::int32_t counts, double factor) {
    if (factor == 1.0) return counts;
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(
        std::clamp(std::round(static_cast<double>(counts) * factor), lowest, highest));
}

// Up to two decimals, none when whole: "200", "39.37".
QString Number(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text;
}

}  // namespace

bool TabletAxes::Unequal() const { return Known(x) && Known(y) && x.resolution != y.resolution; }

double TabletAxes::CommonResolution() const {
    return Known(x) && Known(y) ? std::max(x.resolution, y.resolution) : 0.0;
}

std::int32_t TabletAxes::ToCommonX(std::int32_t counts) const {
    return Scaled(counts, Factor(*this, x));
}

std::int32_t TabletAxes::ToCommonY(std::int32_t counts) const {
    return Scaled(counts, Factor(*this, y));
}

TabletAxes TabletAxes::Common() const {
    TabletAxes common;
    common.x = {ToCommonX(x.minimum), ToCommonX(x.maximum), x.resolution};
    common.y = {ToCommonY(y.minimum), ToCommonY(y.maximum), y.resolution};
    if (const double resolution = CommonResolution(); resolution > 0.0)
        common.x.resolution = common.y.resolution = resolution;
    return common;
}

QString TabletAxes::ResolutionLine() const {
    // An axis without a resolution would make the line read as a wrong
    // number; say nothing rather than half of it.
    if (!Known(x) || !Known(y)) return QString();
    QString line = QStringLiteral("このタブレットの分解能: X %1 / Y %2 カウント/mm")
                       .arg(Number(x.resolution), Number(y.resolution));
    if (Unequal()) {
        line += QStringLiteral("（縦横とも %1 カウント/mm にそろえて計測します）")
                    .arg(Number(CommonResolution()));
    }
    return line;
}
