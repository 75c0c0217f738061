#include "measure/DrawingScale.h"

#include "grid/NumberText.h"

#include <cmath>

namespace {

// Millimetres in one of each length unit.
double MillimetresPer(const QString& unit) {
    if (unit == QLatin1String("mm")) return 1.0;
    if (unit == QLatin1String("cm")) return 10.0;
    if (unit == QLatin1String("m")) return 1000.0;
    if (unit == QLatin1String("km")) return 1000000.0;
    return 0.0;
}

bool Positive(double value) { return std::isfinite(value) && value > 0.0; }

}  // namespace

QStringList DrawingScale::LengthUnits() {
    return {QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("m"), QStringLiteral("km")};
}

QStringList DrawingScale::AreaUnits(const QString& unit) {
    QStringList units{unit + QStringLiteral("²")};
    // The land units are multiples of the square metre.
    if (unit == QLatin1String("m"))
        units << QStringLiteral("a") << QStringLiteral("ha") << QStringLiteral("坪");
    return units;
}

bool DrawingScale::IsUsable() const {
    if (!Positive(ratio) || !Positive(countsPerMm) || MillimetresPer(unit) == 0.0) return false;
    if (verticalRatio && !Positive(*verticalRatio)) return false;
    return areaUnit.isEmpty() || AreaUnits(unit).contains(areaUnit);
}

QString DrawingScale::ReferenceText() const { return PlainNumber(ratio); }

QString DrawingScale::CountsText() const {
    // 1 mm of paper is N mm of the real thing, that is N / (mm per unit)
    // units, and it is `countsPerMm` counts: N units are (mm per unit) ×
    // counts per mm counts.
    return PlainNumber(MillimetresPer(unit) * countsPerMm);
}

double DrawingScale::VerticalFactor() const {
    if (!verticalRatio || !Positive(ratio) || !Positive(*verticalRatio)) return 1.0;
    return *verticalRatio / ratio;
}

double DrawingScale::AreaFactor() const {
    if (areaUnit == QLatin1String("a")) return 1.0 / 100.0;
    if (areaUnit == QLatin1String("ha")) return 1.0 / 10000.0;
    // 1 坪 is 400 / 121 square metres (6 shaku squared).
    if (areaUnit == QStringLiteral("坪")) return 121.0 / 400.0;
    return 1.0;
}

QString DrawingScale::AreaLabel() const {
    return areaUnit.isEmpty() || areaUnit == unit + QStringLiteral("²") ? unit + QStringLiteral("²")
                                                                        : areaUnit;
}
