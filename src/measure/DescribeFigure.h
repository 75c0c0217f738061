#pragma once

#include <QString>
#include <cstdint>

#include "measure/Calculation.h"
#include "measure/Figure.h"
#include "measure/PointStore.h"

// What the figure window's status line needs besides the point store and the
// scale: the measurement state and the choices of the main window.
struct FigureFacts {
    // lMesMode and bLengthMode.
    std::int32_t mesMode = 0;
    bool lengthMode = false;
    // Caption of the chosen measurement option ("多点の面積").
    QString caption;
    // List index of cmbNiten: 0 whole, 1 X only, 2 Y only.
    int twoPointAxis = 0;
    // Decimals of the numbers put into the grid (list index of cmbSyosu).
    int decimals = 2;
    // The calibration running is the vertical one.
    bool verticalCalibration = false;
};

// One line on the figure being measured: the measurement, the number of
// points, and what the figure measures so far, formatted as the grid would
// receive it ("多点の面積　4点　面積 1.00", with the scale's unit where it
// names one: "面積 12.34 m²"), or why there is no value yet ("あと1点",
// "スケールが正しくありません"). Without a run it says so. While vertical
// distances are stretched, it ends in "縦横別縮尺", so that a factor left from
// another drawing is seen. Reads the store and the scale texts and changes
// nothing.
QString DescribeFigure(const PointStore& points, const FigureFacts& facts,
                       const ScaleSource& scale);

// The figure to show: the stored points, closed when the figure is measured
// as an area (what F12 or the side switch would measure now), and the status
// line.
Figure CurrentFigure(const PointStore& points, const FigureFacts& facts, const ScaleSource& scale);
