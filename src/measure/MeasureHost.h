#pragma once

#include <QString>
#include <cstddef>

#include "measure/Calculation.h"

// What the measurement engine needs from the main window: the controls it
// reads and sets, the grid operations and the capture sound.
class MeasureHost : public ScaleSource {
  public:
    // Index of the selected measurement option (optMes), -1 when none.
    virtual int SelectedMeasurement() const = 0;
    // List index of cmbNiten: 0 whole, 1 X only, 2 Y only, -1 none.
    virtual int TwoPointAxis() const = 0;
    // Current text of cmbNiten, for the guidance text.
    virtual QString TwoPointAxisText() const = 0;

    // chkOrgPos, chkZahyo(0), chkZahyo(1) of the coordinate mode.
    virtual bool NextPointIsOrigin() const = 0;
    virtual void SetNextPointIsOrigin(bool ticked) = 0;
    virtual bool InvertX() const = 0;
    virtual bool InvertY() const = 0;

    // Writes a value at the cursor with the chosen decimals, empties the
    // point store and, with advance, moves the cursor in the fill direction.
    virtual void PutValue(double value, bool advance) = 0;
    // The figure a measurement's value comes from, told between BeginValue
    // and the PutValue calls of that value: the points as measured (entries
    // 0 to lPointCount - 1). Values put without it (typed, pasted, totals)
    // come from no figure.
    virtual void MeasuredFrom(const PointStore&) {}
    // A sum took a figure: entry `index` of the sum (0 starts a new one),
    // counted minus for a hole. Its points are kept until the sum's total
    // is put, which is then told with MeasuredSum in place of MeasuredFrom.
    virtual void SummedFrom(const PointStore&, std::size_t /*index*/, bool /*minus*/) {}
    virtual void MeasuredSum() {}
    // A measured value, or the two cells of a coordinate, is one change the
    // operator can take back: the engine brackets it with these.
    virtual void BeginValue() {}
    virtual void EndValue() {}
    // AdvanceCursor(grid, Col + dCol, Row + dRow, step).
    virtual void MoveCursor(int dCol, int dRow, int step) = 0;
    virtual void FocusGrid() = 0;

    // cmdMes(0) enabled, cmdMes(1) the opposite.
    virtual void SetStartEnabled(bool enabled) = 0;
    virtual void SetGuidance(const QString& text) = 0;
    virtual void SetOriginBoxVisible(bool visible) = 0;
    // lblMsg(0), shown while a calibration runs.
    virtual void SetCalibrationNoticeVisible(bool visible) = 0;
    // The calibration's result goes into txtInput(3).
    virtual void SetTabletCountsText(const QString& text) = 0;
    // The vertical calibration's result, or that its picks gave none.
    virtual void SetVerticalFactor(double) {}
    virtual void VerticalCalibrationFailed() {}

    // How many times each picked or traced figure is measured for its mean
    // ("同じ図形を測る回数"), 1 to 5; 1 measures each once.
    virtual int RepeatCount() const { return 1; }

    // One line of the diagnostic list lstGetData (its text is
    // ReceivedPointLine(logX, logY)), then the list scrolled to it.
    virtual void ListReceivedPoint(std::int32_t logX, std::int32_t logY) = 0;
    virtual void PlayCaptureSound() = 0;
};
