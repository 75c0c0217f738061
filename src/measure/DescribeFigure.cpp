#include "measure/DescribeFigure.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "measure/MeasureEngine.h"
#include "grid/NumberText.h"

namespace {

// Full-width space: the separator of Japanese status texts.
const QString kGap = QStringLiteral("　");

bool IsAreaFigure(const FigureFacts& facts) {
    // Only the picked and traced figures (and, without a run, whatever F12
    // would measure) can be areas; two points and coordinates never are.
    switch (facts.mesMode) {
        case kMesNone:
        case kMesPicked:
        case kMesTraced:
            return !facts.lengthMode;
        default:
            return false;
    }
}

// The two-point distance as the grid would receive it, along the axis chosen.
MaybeValue TwoPointDistance(const PointStore& points, int axis, const ScaleSource& scale) {
    const std::int32_t x0 = points.lPointX[0];
    const std::int32_t y0 = points.lPointY[0];
    const std::int32_t x1 = points.lPointX[1];
    const std::int32_t y1 = points.lPointY[1];
    switch (axis) {
        case 1:
            return CalcDistance(x0, 0, x1, 0, true, scale);
        case 2:
            return CalcDistance(0, y0, 0, y1, true, scale);
        default:
            return CalcDistance(x0, y0, x1, y1, true, scale);
    }
}

// What the figure measures so far, or why nothing; empty when there is
// nothing to say (no points yet, or a mode that writes every pick at once).
QString ValueText(const PointStore& points, const FigureFacts& facts, const ScaleSource& scale) {
    const std::int32_t n = points.lPointCount;
    if (n == 0 || facts.mesMode == kMesCoordinate) {
        return {};
    }
    const bool twoPoint = facts.mesMode == kMesTwoPoint;
    const bool area = IsAreaFigure(facts);
    // Not a fault: a figure on its way. How many more it needs.
    if (const std::int32_t needed = (area ? 3 : 2) - n; needed > 0) {
        return QStringLiteral("あと%1点").arg(needed);
    }
    if (!ScaleIsUsable(scale)) {
        return QStringLiteral("スケールが正しくありません");
    }
    MaybeValue value;
    QString name;
    QString unit = scale.LengthUnit();
    if (twoPoint) {
        value = TwoPointDistance(points, facts.twoPointAxis, scale);
        name = QStringLiteral("距離 ");
    } else if (area) {
        value = FigureArea(points, scale);
        name = QStringLiteral("面積 ");
        unit = scale.AreaUnit();
    } else {
        value = FigureLength(points, scale);
        name = QStringLiteral("長さ ");
    }
    if (!value || !std::isfinite(*value)) {
        return QStringLiteral("値が求められません");
    }
    QString text = name + FormatDecimals(*value, facts.decimals);
    if (!unit.isEmpty()) text += QLatin1Char(' ') + unit;
    return text;
}

// The line without the note on separate scales.
QString DescribeState(const PointStore& points, const FigureFacts& facts,
                      const ScaleSource& scale) {
    const std::int32_t n = points.lPointCount;
    const QString count = QString::number(n) + QStringLiteral("点");
    switch (facts.mesMode) {
        case kMesNone:
            return n == 0 ? QStringLiteral("計測していません")
                          : QStringLiteral("計測していません") + kGap + count;
        case kMesCalibration:
            return (facts.verticalCalibration ? QStringLiteral("縦の長さの自動計測")
                                              : QStringLiteral("タブレット上の長さの自動計測")) +
                   kGap + count;
        default: {
            QString text = facts.caption + kGap + count;
            const QString value = ValueText(points, facts, scale);
            if (!value.isEmpty()) {
                text += kGap + value;
            }
            return text;
        }
    }
}

}  // namespace

QString DescribeFigure(const PointStore& points, const FigureFacts& facts,
                       const ScaleSource& scale) {
    QString text = DescribeState(points, facts, scale);
    if (scale.VerticalFactor() != 1.0) text += kGap + QStringLiteral("縦横別縮尺");
    return text;
}

Figure CurrentFigure(const PointStore& points, const FigureFacts& facts, const ScaleSource& scale) {
    Figure figure;
    const auto n = static_cast<std::size_t>(points.lPointCount);
    figure.points.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        figure.points.push_back({points.lPointX[i], points.lPointY[i]});
    }
    figure.arcMiddles = points.ArcMiddles();
    figure.closed = IsAreaFigure(facts);
    figure.status = DescribeFigure(points, facts, scale);
    return figure;
}
