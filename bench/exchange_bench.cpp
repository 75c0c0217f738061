// Times the text-table paths that run on the user-interface thread: a large
// paste, the clipboard copy, and the autosave of a grid of the usual size.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "exchange/CsvFile.h"
#include "grid/GridModel.h"
#include "grid/NumberText.h"
#include "exchange/ParseIntoGrid.h"
#include "exchange/TextTable.h"

namespace {

template <typename Fn>
double MedianMs(int runs, Fn&& fn) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1.0e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString NumberBlock(int rows, int cols) {
    QString text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            text += QString::number(r * cols + c) + QStringLiteral(".25");
            if (c + 1 < cols) {
                text += QLatin1Char('\t');
            }
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

// The value intake without the per-value autosave: two decimals at the
// cursor, which the paste places on each field's cell.
void PutAtCursor(GridModel& grid, double value) {
    grid.SetTextMatrix(grid.Row(), grid.Col(), FormatDecimals(value, 2));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("Save.csv"));

    const QString block = NumberBlock(1000, 100);
    GridModel filled;
    int put = 0;
    const double pasteMs = MedianMs(5, [&] {
        GridModel grid(10000, 1000);
        put = ParseIntoGrid(block, QStringLiteral("\t"), grid,
                            [&grid](double value) { PutAtCursor(grid, value); })
                  .put;
        WriteCsv(grid, csvPath);
        filled = std::move(grid);
    });
    std::printf(
        "(a) paste 1000 x 100 into 10000 x 1000 + one WriteCsv: %.1f ms median (%d values; target "
        "< 500 ms)\n",
        pasteMs, put);

    qsizetype size = 0;
    const double copyMs =
        MedianMs(11, [&] { size = BuildTextTable(filled, QStringLiteral("\t")).size(); });
    std::printf(
        "(b) BuildTextTable 1000 x 100 with tab: %.2f ms median (%lld chars; target < 100 ms)\n",
        copyMs, static_cast<long long>(size));

    GridModel usual(21, 16);
    for (int r = 1; r <= 20; ++r) {
        for (int c = 1; c <= 15; ++c) {
            usual.SetTextMatrix(r, c, QStringLiteral("123.45"));
        }
    }
    const double saveMs = MedianMs(101, [&] { WriteCsv(usual, csvPath); });
    std::printf("(c) WriteCsv 20 x 15 of 123.45, atomic replace: %.0f us median (target < 2 ms)\n",
                saveMs * 1000.0);
    return 0;
}
