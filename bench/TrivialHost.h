#pragma once

#include "measure/MeasureHost.h"
#include "measure/PointStore.h"

#include <QString>

// A host that does nothing but empty the store, as the window's PutValue does.
class TrivialHost : public MeasureHost {
  public:
    PointStore* store = nullptr;
    double lastValue = 0;
    int selected = 2;

    QString ReferenceLengthText() const override { return QStringLiteral("10"); }
    QString TabletCountsText() const override { return QStringLiteral("400"); }
    int SelectedMeasurement() const override { return selected; }
    int TwoPointAxis() const override { return 0; }
    QString TwoPointAxisText() const override { return QStringLiteral("通常"); }
    bool NextPointIsOrigin() const override { return false; }
    void SetNextPointIsOrigin(bool) override {}
    bool InvertX() const override { return false; }
    bool InvertY() const override { return false; }
    void PutValue(double value, bool) override {
        lastValue = value;
        if (store != nullptr) {
            store->lPointCount = 0;
        }
    }
    void MoveCursor(int, int, int) override {}
    void FocusGrid() override {}
    void SetStartEnabled(bool) override {}
    void SetGuidance(const QString&) override {}
    void SetOriginBoxVisible(bool) override {}
    void SetCalibrationNoticeVisible(bool) override {}
    void SetTabletCountsText(const QString&) override {}
    void ListReceivedPoint(std::int32_t, std::int32_t) override {}
    void PlayCaptureSound() override {}
};
