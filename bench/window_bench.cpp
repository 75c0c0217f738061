// Figures for the real main window over fakes, headless: laying the grid out
// at its largest size and putting one value there, with the view following
// and the autosave written; a long trace with and without the figure window.
// Prints one line per figure; asserts nothing.

#include "BenchFakes.h"
#include "shell/Edition.h"
#include "FakePadLink.h"
#include "measure/ui/FigureWindow.h"
#include "shell/frmTab.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Measure(const Edition& edition, const char* label) {
    BenchWindow bench(edition);
    frmTab& window = *bench.window;
    FakePadLink& tablet = bench.tablet;
    MemoryClipboard& clipboard = bench.clipboard;
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    auto* rows = window.findChild<QLineEdit*>(QStringLiteral("txtInput(1)"));
    auto* cols = window.findChild<QLineEdit*>(QStringLiteral("txtInput(2)"));

    std::vector<double> layout;
    std::vector<double> put;
    std::vector<double> putDefault;
    for (int run = 0; run < kRuns; ++run) {
        rows->setText(QStringLiteral("20"));
        cols->setText(QStringLiteral("15"));
        QApplication::processEvents();
        auto start = Clock::now();
        window.PutValue(12.5, true);
        putDefault.push_back(MillisecondsSince(start));

        // Both boxes changed, as the operator would: each lays out and clears.
        start = Clock::now();
        rows->setText(QStringLiteral("10000"));
        cols->setText(QStringLiteral("1000"));
        QApplication::processEvents();
        layout.push_back(MillisecondsSince(start));

        start = Clock::now();
        window.PutValue(12.5, true);
        put.push_back(MillisecondsSince(start));
    }
    std::printf("%s: PutValue on the default 20 x 15 grid: %.3f ms (median of %d)\n", label,
                Median(putDefault), kRuns);
    std::printf("%s: grid size boxes to 10000 x 1000 (two layouts and clears, view updated): "
                "%.1f ms (median of %d; target < 100 per layout)\n",
                label, Median(layout), kRuns);
    std::printf("%s: PutValue on an empty 10000 x 1000 grid: %.3f ms (median of %d)\n", label,
                Median(put), kRuns);

    // A long trace through the real window: every point is listed in the
    // hidden diagnostic list as it arrives.
    rows->setText(QStringLiteral("20"));
    cols->setText(QStringLiteral("15"));
    window.Engine().lMesMode = kMesPicked;
    constexpr int kPoints = 100000;
    constexpr int kBatch = 100;
    for (int i = 0; i < kPoints; ++i) tablet.PushPick(i % 800, i / 800);
    auto start = Clock::now();
    for (int i = 0; i < kPoints / kBatch; ++i) {
        tablet.ScriptWintab(kBatch);
        window.GetWintab(0, 0);
    }
    const double intake = MillisecondsSince(start);
    start = Clock::now();
    window.Engine().CalcLengthArea();
    std::printf("%s: a 100000-point trace taken in batches of 100 through the window: %.1f ms, "
                "then measured and put: %.2f ms\n",
                label, intake, MillisecondsSince(start));

    // A 1,000 x 100 block pasted through the window into the largest grid.
    if (edition.paste) {
        rows->setText(QStringLiteral("10000"));
        cols->setText(QStringLiteral("1000"));
        QString block;
        for (int r = 0; r < 1000; ++r) {
            for (int c = 0; c < 100; ++c) {
                block += QString::number(r * 100 + c) + QStringLiteral(".25");
                if (c < 99) block += QLatin1Char('\t');
            }
            block += QStringLiteral("\r\n");
        }
        clipboard.SetText(block);
        start = Clock::now();
        window.cmdPaste_Click();
        std::printf("%s: paste of 1000 x 100 through the window into 10000 x 1000: %.1f ms\n",
                    label, MillisecondsSince(start));
    }
    window.Form_Unload();
}

// Forwards to the figure window and counts the pushes.
class CountingDisplay : public FigureDisplay {
public:
    explicit CountingDisplay(FigureWindow& window) : window_(window) {}
    void ShowFigure(const Figure& figure) override {
        ++pushes;
        window_.ShowFigure(figure);
    }
    void OpenWindow() override { window_.OpenWindow(); }
    void SetRequests(std::function<void()> undo, std::function<void()> end) override {
        window_.SetRequests(std::move(undo), std::move(end));
    }
    int pushes = 0;

private:
    FigureWindow& window_;
};

// A 100,000-point trace through the window as the message loop would run it
// (events processed after every batch, so the figure's timer can fire), with
// and without a figure window; then what one refresh costs at that size.
void MeasureFigure() {
    constexpr int kPoints = 100000;
    constexpr int kBatch = 100;
    for (const bool withDisplay : {false, true}) {
        FigureWindow figureWindow;
        CountingDisplay display(figureWindow);
        BenchWindow bench(FullEdition(), withDisplay ? &display : nullptr);
        frmTab& window = *bench.window;
        FakePadLink& tablet = bench.tablet;
        window.Form_Load();
        window.show();
        if (withDisplay) figureWindow.OpenWindow();
        QApplication::processEvents();
        // A traced area: the status line sums the whole polygon each time.
        window.Engine().lMesMode = kMesTraced;
        window.Engine().bLengthMode = false;
        for (int i = 0; i < kPoints; ++i) tablet.PushPick(i % 800, i / 800 + (i % 7));
        display.pushes = 0;
        auto start = Clock::now();
        for (int i = 0; i < kPoints / kBatch; ++i) {
            tablet.ScriptWintab(kBatch);
            window.GetWintab(0, 0);
            QApplication::processEvents();
        }
        const double intake = MillisecondsSince(start);
        if (!withDisplay) {
            std::printf("figure: a 100000-point trace in batches of 100, events processed after "
                        "each, no figure display: %.1f ms\n",
                        intake);
            window.Form_Unload();
            continue;
        }
        std::printf("figure: the same trace with the figure window shown: %.1f ms, %d refreshes\n",
                    intake, display.pushes);

        std::vector<double> refresh;
        std::vector<double> paint;
        for (int run = 0; run < kRuns; ++run) {
            start = Clock::now();
            window.RefreshFigure();
            refresh.push_back(MillisecondsSince(start));
            start = Clock::now();
            figureWindow.View().repaint();
            paint.push_back(MillisecondsSince(start));
        }
        std::printf("figure: one refresh at 100000 points (figure and status built, pushed): "
                    "%.2f ms, one paint of the view: %.2f ms (medians of %d)\n",
                    Median(refresh), Median(paint), kRuns);
        window.Form_Unload();
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // The full edition's PutValue includes the atomic autosave with its disk
    // sync; the reduced edition's is the same work without any file.
    Measure(FullEdition(), "full edition, with autosave");
    Measure(ReducedEdition(), "reduced edition, no autosave");
    MeasureFigure();
    return 0;
}
