// The figure file beside the autosave, fuzzed: any bytes. Properties: every
// problem names a line of the file once; the figures taken, put into a grid
// and written again, read back the same (one per cell: a later line for the
// same cell replaces an earlier one, as at recovery).
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

#include "FuzzCheck.h"
#include "figures/FigureFile.h"
#include "grid/GridModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const FigureFileContent parsed = ParseFigureFile(bytes);

    std::set<int> reported;
    const int lines = static_cast<int>(bytes.count('\n')) + 1;
    for (const QString& problem : parsed.problems) {
        FUZZ_CHECK(problem.startsWith(QStringLiteral("line ")));
        const int line = problem.section(QLatin1Char(' '), 1, 1).chopped(1).toInt();
        FUZZ_CHECK(line >= 1 && line <= lines && reported.insert(line).second);
    }

    std::map<std::pair<int, int>, const KeptFigureAt*> last;
    for (const KeptFigureAt& at : parsed.figures) {
        FUZZ_CHECK(at.figure && !at.figure->points.empty() && !at.figure->value.isEmpty());
        last[{at.row, at.col}] = &at;
    }
    GridModel grid(10'001, 1'001);
    for (const auto& [cell, at] : last) {
        grid.SetTextMatrix(cell.first, cell.second, at->figure->value);
        FUZZ_CHECK(grid.SetTag(cell.first, cell.second, at->figure));
    }
    const FigureFileContent again = ParseFigureFile(FigureFileBytes(grid));
    FUZZ_CHECK(again.problems.isEmpty());
    FUZZ_CHECK(again.figures.size() == last.size());
    auto it = last.begin();
    for (const KeptFigureAt& at : again.figures) {
        FUZZ_CHECK(std::make_pair(at.row, at.col) == it->first);
        const std::vector<const KeptFigure*> read = at.figure->Figures();
        const std::vector<const KeptFigure*> taken = it->second->figure->Figures();
        FUZZ_CHECK(read.size() == taken.size());
        for (std::size_t k = 0; k < read.size(); ++k) {
            const KeptFigure& a = *read[k];
            const KeptFigure& b = *taken[k];
            FUZZ_CHECK(a.mode == b.mode && a.source == b.source && a.page == b.page);
            FUZZ_CHECK(a.value == b.value && a.unit == b.unit && a.sourceName == b.sourceName);
            FUZZ_CHECK(a.referenceLength == b.referenceLength && a.tabletLength == b.tabletLength);
            FUZZ_CHECK(a.verticalFactor == b.verticalFactor && a.timeMs == b.timeMs);
            FUZZ_CHECK(a.countsPerMm == b.countsPerMm && a.arcMiddles == b.arcMiddles);
            FUZZ_CHECK(a.minus == b.minus && a.points.size() == b.points.size());
            for (std::size_t i = 0; i < a.points.size(); ++i)
                FUZZ_CHECK(a.points[i].x == b.points[i].x && a.points[i].y == b.points[i].y);
        }
        ++it;
    }
    return 0;
}
