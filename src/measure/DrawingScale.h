#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A drawing's scale as a planimeter takes it: the ratio 1 : N, the unit the
// results are read in, the tablet's counts per millimetre of paper, and for a
// cross-section drawn at another scale up than across, the vertical ratio
// 1 : M. It is turned into the two scale boxes the window measures with, and
// a factor for vertical distances.
struct DrawingScale {
    // N of "1 : N"; a number above 0 for a usable scale.
    double ratio = 0.0;
    // One of LengthUnits().
    QString unit = QStringLiteral("mm");
    // Empty for the square of `unit`; with metres also one of "a", "ha",
    // "坪", which only multiply areas.
    QString areaUnit;
    // Tablet counts per millimetre of paper; 0 when not known.
    double countsPerMm = 0.0;
    // M of "縦の縮尺 1 : M"; none when up is drawn at the same scale as across.
    std::optional<double> verticalRatio;

    static QStringList LengthUnits();
    // The area units offered with `unit`: its square first.
    static QStringList AreaUnits(const QString& unit);

    // The ratio, the counts and any vertical ratio are numbers above 0, and
    // the units are known.
    bool IsUsable() const;
    // The texts for "基準となる長さ" and "タブレット上の長さ": the reference
    // length in `unit` and its counts on the tablet, so chosen that their
    // quotient is exact wherever the three numbers are (N, and the
    // millimetres of a unit times the counts per millimetre).
    QString ReferenceText() const;
    QString CountsText() const;
    // M / N: what vertical distances are multiplied by; 1 without M.
    double VerticalFactor() const;
    // What an area in the square of `unit` is multiplied by to read in
    // `areaUnit`; 1 for the square itself.
    double AreaFactor() const;
    // The unit after a length ("m") and after an area ("m²", "ha", "坪").
    QString LengthLabel() const { return unit; }
    QString AreaLabel() const;
};
