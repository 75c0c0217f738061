// Figures for the grid core at its largest sensible size, 10,000 data rows
// by 1,000 data columns. Prints one line per figure; asserts nothing.

#include "grid/GridModel.h"
#include "grid/NumberText.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 7;
constexpr int kRows = 10001;  // header row included
constexpr int kCols = 1001;   // header column included

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Resident set size of this process in kB, from /proc/self/status.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Keeps the optimiser from dropping work whose result is unused.
volatile long sink = 0;

}  // namespace

int main() {
    std::vector<double> resizeUs;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        auto grid = std::make_unique<GridModel>();
        grid->SetRows(kRows);
        grid->SetCols(kCols);
        resizeUs.push_back(MicrosecondsSince(start));
        sink = sink + grid->Rows();
    }
    std::printf("new model resized to 10000x1000 data cells: %.2f us (median of %d)\n", Median(resizeUs), kRuns);

    std::vector<double> emptyMb;
    std::vector<double> headedMb;
    // Every model is kept until the end, so each run's growth is fresh memory
    // rather than memory handed back by the run before.
    std::vector<std::unique_ptr<GridModel>> kept;
    for (int run = 0; run < kRuns; ++run) {
        const long before = ResidentKb();
        auto& grid = kept.emplace_back(std::make_unique<GridModel>());
        grid->SetRows(kRows);
        grid->SetCols(kCols);
        emptyMb.push_back(static_cast<double>(ResidentKb() - before) / 1024.0);
        // The header texts and widths a laid-out grid carries.
        for (int row = 1; row < kRows; ++row) {
            grid->SetTextMatrix(row, 0, QString::number(row));
        }
        for (int col = 1; col < kCols; ++col) {
            grid->SetTextMatrix(0, col, QString::number(col));
            grid->SetColWidth(col, 750);
        }
        headedMb.push_back(static_cast<double>(ResidentKb() - before) / 1024.0);
    }
    std::printf("memory of an empty 10000x1000 model: %.2f MB (median of %d)\n", Median(emptyMb), kRuns);
    std::printf("memory of the same model with header texts and widths: %.2f MB (median of %d)\n",
                Median(headedMb), kRuns);

    {
        GridModel grid;
        grid.SetRows(kRows);
        grid.SetCols(kCols);
        // A few thousand used cells scattered over the grid, so the extent
        // maps are not trivially small.
        for (int i = 1; i < 5000; ++i) {
            grid.SetTextMatrix(1 + (i * 7919) % (kRows - 1), 1 + (i * 104729) % (kCols - 1), QStringLiteral("1.00"));
        }
        const QString texts[] = {QStringLiteral("12.35"), QString()};
        constexpr int kOps = 100000;
        std::vector<double> perOpUs;
        for (int run = 0; run < kRuns; ++run) {
            const auto start = Clock::now();
            for (int i = 0; i < kOps; ++i) {
                grid.SetTextMatrix(1, 1, texts[i & 1]);
                sink = sink + grid.UsedRows() + grid.UsedCols();
            }
            perOpUs.push_back(MicrosecondsSince(start) / kOps);
        }
        std::printf("SetTextMatrix(1,1) + UsedRows + UsedCols on a 10000x1000 grid: %.3f us (median of %d)\n",
                    Median(perOpUs), kRuns);

        std::vector<double> clearMs;
        for (int run = 0; run < kRuns; ++run) {
            for (int i = 1; i < 5000; ++i) {
                grid.SetTextMatrix(1 + (i * 7919) % (kRows - 1), 1 + (i * 104729) % (kCols - 1),
                                   QStringLiteral("1.00"));
            }
            const auto start = Clock::now();
            grid.ClearData();
            clearMs.push_back(MicrosecondsSince(start) / 1000.0);
        }
        std::printf("ClearData of 5000 used cells on a 10000x1000 grid: %.3f ms (median of %d)\n",
                    Median(clearMs), kRuns);
    }

    {
        constexpr int kValues = 200000;
        std::vector<double> perSecond;
        for (int run = 0; run < kRuns; ++run) {
            const auto start = Clock::now();
            for (int i = 0; i < kValues; ++i) {
                const double value = (i - kValues / 2) * 0.3759;
                sink = sink + FormatDecimals(value, i % 6).size();
            }
            perSecond.push_back(kValues / (MicrosecondsSince(start) / 1e6));
        }
        std::printf("FormatDecimals: %.0f values/s (median of %d)\n", Median(perSecond), kRuns);
    }
    return 0;
}
