#pragma once

#include <QString>
#include <cstdint>

#include "measure/MeasureHost.h"
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

    PadLink& tablet_;
    MeasureHost& host_;
    Options options_;
    bool calibrating_ = false;
    bool vertical_ = false;
};
