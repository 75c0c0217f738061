#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "measure/MeasureEngine.h"
#include "measure/MeasureHost.h"
#include "measure/PointStore.h"

// A main window stand-in for the measurement engine: it holds the control
// values the engine reads and records what the engine does to the window.
// Its PutValue empties the point store, as the window's does.
class FakeMeasureHost : public MeasureHost {
  public:
    struct Put {
        double value;
        bool advance;
    };
    struct Move {
        int dCol;
        int dRow;
        int step;
        bool operator==(const Move&) const = default;
    };

    // Controls the engine reads.
    QString referenceLength = QStringLiteral("1");  // txtInput(0)
    QString tabletCounts = QStringLiteral("400");   // txtInput(3)
    int selected = 0;
    int axis = 0;
    QString axisText = QStringLiteral("通常");
    bool nextIsOrigin = false;
    bool invertX = false;
    bool invertY = false;
    double vertical = 1.0;  // the vertical factor
    int repeats = 1;        // "同じ図形を測る回数"

    // The store PutValue empties; set it to the engine's.
    PointStore* store = nullptr;

    // What the engine did.
    std::vector<Put> puts;
    std::vector<double> values;  // the values of puts alone
    std::vector<Move> moves;
    // PutValue and MoveCursor in call order: "put <value>" and "move".
    std::vector<QString> gridLog;
    int focusCalls = 0;
    std::optional<bool> startEnabled;
    std::vector<QString> guidance;
    std::vector<bool> originBoxVisible;
    bool calibrationNotice = false;
    std::vector<QString> listed;
    int sounds = 0;

    QString ReferenceLengthText() const override { return referenceLength; }
    QString TabletCountsText() const override { return tabletCounts; }
    double VerticalFactor() const override { return vertical; }
    int RepeatCount() const override { return repeats; }
    int SelectedMeasurement() const override { return selected; }
    int TwoPointAxis() const override { return axis; }
    QString TwoPointAxisText() const override { return axisText; }
    bool NextPointIsOrigin() const override { return nextIsOrigin; }
    void SetNextPointIsOrigin(bool ticked) override { nextIsOrigin = ticked; }
    bool InvertX() const override { return invertX; }
    bool InvertY() const override { return invertY; }

    void PutValue(double value, bool advance) override {
        puts.push_back({value, advance});
        values.push_back(value);
        gridLog.push_back(QStringLiteral("put %1").arg(value));
        if (store != nullptr) {
            store->lPointCount = 0;
        }
    }
    void MoveCursor(int dCol, int dRow, int step) override {
        moves.push_back({dCol, dRow, step});
        gridLog.push_back(QStringLiteral("move"));
    }
    void FocusGrid() override { ++focusCalls; }
    void SetStartEnabled(bool enabled) override { startEnabled = enabled; }
    void SetGuidance(const QString& text) override { guidance.push_back(text); }
    void SetOriginBoxVisible(bool visible) override { originBoxVisible.push_back(visible); }
    void SetCalibrationNoticeVisible(bool visible) override { calibrationNotice = visible; }
    // The calibration writes txtInput(3), which later conversions read.
    void SetTabletCountsText(const QString& text) override { tabletCounts = text; }
    void ListReceivedPoint(std::int32_t logX, std::int32_t logY) override {
        listed.push_back(ReceivedPointLine(logX, logY));
    }
    void PlayCaptureSound() override { ++sounds; }
};
