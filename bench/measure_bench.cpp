// Measurement timings: intake of a long traced stroke, the length and area of
// a long figure, and one two-point distance from the pen to the autosaved
// grid. Prints median figures; asserts nothing.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

#include "measure/Calculation.h"
#include "exchange/CsvFile.h"
#include "FakePadLink.h"
#include "grid/GridModel.h"
#include "grid/GridView.h"
#include "measure/MeasureEngine.h"
#include "measure/MeasureHost.h"
#include "grid/Mei.h"
#include "grid/NumberText.h"
#include "TrivialHost.h"

namespace {

constexpr int kStrokePoints = 100000;
constexpr int kBatch = 100;
constexpr int kRepeats = 11;

// A grid control with no screen.
class HeadlessGrid : public GridView {
  public:
    GridModel model{20, 15};
    GridModel& Model() override { return model; }
    void SetFocus() override {}
    int Left() const override { return 0; }
    int Top() const override { return 0; }
    TwipRect CurrentCellRect() const override { return {}; }
    bool RowIsVisible(int) const override { return true; }
    int TopRow() const override { return 1; }
    void SetTopRow(int) override {}
    void ProcessPendingEvents() override {}
};

// The window's put-value path without the widgets: format, write the cell,
// rewrite the autosave file, advance along the row.
class GridHost : public TrivialHost {
  public:
    HeadlessGrid grid;
    QString savePath;

    void PutValue(double value, bool advance) override {
        GridModel& model = grid.Model();
        model.SetTextMatrix(model.Row(), model.Col(), FormatDecimals(value, 2));
        if (store != nullptr) {
            store->lPointCount = 0;
        }
        if (!savePath.isEmpty()) {
            WriteCsv(model, savePath);
        }
        if (advance) {
            int col = model.Col() + 1;
            int row = model.Row();
            Mei::AdvanceCursor(grid, col, row, 1);
        }
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double TimeMs(const std::function<void()>& setup, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int r = 0; r < kRepeats; ++r) {
        setup();
        QElapsedTimer clock;
        clock.start();
        work();
        runs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return Median(runs);
}

// A closed outline of n points round a circle of 20,000 counts radius.
std::vector<std::pair<std::int32_t, std::int32_t>> Outline(int n) {
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    points.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * std::numbers::pi * i / n;
        points.emplace_back(static_cast<std::int32_t>(std::lround(20000 * std::cos(a))),
                            static_cast<std::int32_t>(std::lround(20000 * std::sin(a))));
    }
    return points;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto outline = Outline(kStrokePoints);

    // (a) One traced stroke of 100,000 points, fetched in 1,000 notifications
    // of 100 points; the stroke's last point ends the figure.
    {
        FakePadLink pad;
        TrivialHost host;
        MeasureEngine engine(pad, host, {});
        host.store = &engine.points;
        engine.cmdMes_Click(0);  // traced area
        const double ms = TimeMs(
            [&] {
                engine.cmdMes_Click(0);
                pad.PushStroke(outline);
            },
            [&] {
                for (int i = 0; i < kStrokePoints / kBatch; ++i) {
                    pad.ScriptWintab(kBatch);
                    engine.GetWintab(0, 0);
                }
            });
        std::printf("intake of a %d-point stroke in batches of %d: %.2f ms (target < 20)\n",
                    kStrokePoints, kBatch, ms);
        std::printf("  area %.2f, points left %d\n", host.lastValue, engine.points.lPointCount);
    }

    // (b) Length and area of 100,000 stored points.
    {
        TrivialHost host;
        PointStore store;
        const auto fill = [&] {
            store.lPointCount = 0;
            for (const auto& [x, y] : outline) {
                store.Append(x, y);
            }
        };
        double value = 0;
        const auto put = [&](double v) { value = v; };
        const double lengthMs = TimeMs(fill, [&] { CalcLengthArea(store, true, host, put); });
        std::printf("length of %d points: %.2f ms (target < 20), %.2f\n", kStrokePoints, lengthMs,
                    value);
        const double areaMs = TimeMs(fill, [&] { CalcLengthArea(store, false, host, put); });
        std::printf("area of %d points: %.2f ms (target < 20), %.2f\n", kStrokePoints, areaMs,
                    value);
    }

    // (c) Pen to grid: two picks become one value in a 20 x 15 grid that is
    // then rewritten as the autosave file. Also without the file, to show
    // what the engine and the grid cost on their own.
    QTemporaryDir dir;
    for (const bool autosave : {true, false}) {
        FakePadLink pad;
        GridHost host;
        host.selected = 0;
        if (autosave) {
            host.savePath = QDir(dir.path()).filePath(QStringLiteral("Save.csv"));
        }
        MeasureEngine engine(pad, host, {});
        host.store = &engine.points;
        engine.cmdMes_Click(0);
        std::vector<double> runs;
        for (int r = 0; r < 201; ++r) {
            pad.PushPick(0, 0);
            pad.PushPick(300, 400);
            QElapsedTimer clock;
            clock.start();
            engine.GetWintab(0, 0);
            runs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e3);
        }
        std::printf("pen to grid, one two-point distance%s: %.1f us (target < 1000)\n",
                    autosave ? "" : " without the autosave file", Median(runs));
    }
    return 0;
}
