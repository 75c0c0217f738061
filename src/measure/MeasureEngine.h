#pragma once

#include <QString>
#include <cstdint>

#include "measure/Figure.h"
#include "measure/FigureSum.h"
#include "measure/MeasureHost.h"
#include "measure/RepeatedFigure.h"
#include "tablet/PadLink.h"
#include "measure/PointStore.h"

// Measurement modes (lMesMode).
enum MesMode : std::int32_t {
    kMesNone = 0,
    kMesCalibration = 1,
    kMesTwoPoint = 2,
    kMesPicked = 3,
    kMesTraced = 4,
    kMesCoordinate = 5,
};

// The diagnostic list's line for a received point: "取得座標データ   x="
// followed by lLogX, then "  y=" and lLogY, in plain decimals. Built with one
// allocation, and only when the line is shown.
QString ReceivedPointLine(std::int32_t logX, std::int32_t logY);

// The measurement state of the main window and the handlers that act on it:
// runs and modes, the scale calibration, the tablet notification and the
// per-mode handling of each point. It reaches the window only through
// MeasureHost and the tablet only through PadLink.
class MeasureEngine {
  public:
    struct Options {
        // The reduced edition has no coordinate mode.
        bool coordinateMode = true;
        // The reduced edition's guidance for the two-point mode has no note.
        bool twoPointNote = true;
    };

    MeasureEngine(PadLink& tablet, MeasureHost& host, Options options);

    // cmdMes(0) starts a run in the selected mode, cmdMes(1) stops it.
    void cmdMes_Click(int index);
    // A measurement option was chosen (also when set from code).
    void optMes_Click(int index);
    // Starts the scale calibration.
    void cmdScale_Click();
    // Starts the calibration of the vertical factor: two picks the reference
    // length apart up the drawing ("縦の長さの自動計測").
    void StartVerticalCalibration();
    // The calibration waiting for its picks is the vertical one.
    bool CalibratingVertical() const { return calibrating_ && vertical_; }
    // The axis of a two-point distance (cmbNiten) changed: its note in the
    // guidance follows at once, since it exists to warn of an axis-only
    // distance.
    void TwoPointAxisChanged();
    // The tablet notification handler.
    void GetWintab(std::int32_t wParam, std::int32_t lParam);
    // Ends the current figure (F12 and the side switch), whatever the mode.
    void CalcLengthArea();
    // Drops the last point of the figure being measured, on the operator's
    // word; nothing when the store is empty. The library's queue is not
    // touched: points not yet fetched still arrive.
    void DropLastPoint();

    // The planimeter's functions, all off until the operator asks for them.
    //
    // F7 in "多点の面積" and "多点の距離": the next pick is on an arc, the one
    // after it the arc's end, the pick before it the arc's start. Pressed
    // again before that pick, it takes the arc back.
    void ArcKey();
    // F8 (minus clear): starts a sum of the figures that follow, or, with a
    // sum on, puts its total into the cell as one value and ends it.
    // Shift+F8 (minus set): the next figure counts minus, starting a sum
    // where none is on. Only where areas or lengths are measured.
    void SumKey(bool minus);
    // The sum holds figures a stop would drop.
    bool SumHoldsFigures() const { return sum_.HoldsFigures(); }
    // Ends the sum without putting it (the operator agreed to drop it).
    void DropSum();
    const FigureSum& Sum() const { return sum_; }
    const RepeatedFigure& Repeats() const { return repeats_; }
    // What the functions are doing, added to the figure shown: the status
    // line's end, the list of a sum's figures or of repeated measurements,
    // the highlight of a spread over 1 %. Values with `decimals` decimals.
    void DescribeFunctions(Figure& figure, int decimals) const;

    // The guidance text shown for a measurement option.
    QString GuidanceText(int option) const;

    // Start-up: no run, no figure, the origin at 0, and the point store
    // without its arrays until the first point.
    void Reset();
    // A value went into the grid (measured, loaded or pasted): every value
    // ends the current point collection.
    void ValuePut() { points.lPointCount = 0; }

    // The measurement state. The owner reads it; it changes only through the
    // operations above.
    std::int32_t lMesMode = kMesNone;
    std::int32_t lMesModeSave = kMesNone;
    bool bLengthMode = false;
    PointStore points;
    std::int32_t lOrgX = 0;
    std::int32_t lOrgY = 0;

  private:
    // Per-mode handling of the point just stored; true ends the fetch loop.
    bool HandlePoint(std::int32_t strokeEnd);
    void EndCalibration();
    void PutTwoPointDistance();
    void PutCoordinate();
    // A picked or traced figure's value: towards a mean, into the sum, or
    // into the cell.
    void FigureFinished(double value);
    void PutFinished(double value, bool fromFigure);
    // The point just stored: on an armed arc it becomes the arc's middle;
    // as an arc's end it checks that there is a circle.
    void PointStored();

    PadLink& tablet_;
    MeasureHost& host_;
    Options options_;
    bool calibrating_ = false;
    bool vertical_ = false;

    FigureSum sum_;
    RepeatedFigure repeats_;
    bool arcArmed_ = false;
    // Shown once in the status line, until the next point: why a key did
    // nothing, three arc picks taken as straight sides.
    QString note_;
    // The last mean and its spread are shown until the next point.
    bool meanShown_ = false;
};
