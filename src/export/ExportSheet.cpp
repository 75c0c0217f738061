#include "export/ExportSheet.h"

#include <QFileInfo>
#include <algorithm>
#include <map>
#include <tuple>

namespace {

int SourceOrder(FigureSourceKind kind) {
    switch (kind) {
        case FigureSourceKind::Drawing:
            return 0;
        case FigureSourceKind::BlankPad:
            return 1;
        case FigureSourceKind::Tablet:
            return 2;
    }
    return 2;
}

QString WithUnit(const QString& value, const QString& unit) {
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

// A coordinate's two cells keep one pick each with its own value: one point
// on the sheet, labelled with both.
bool SamePick(const KeptFigure& a, const KeptFigure& b) {
    if (a.mode != FigureMode::Coordinate || b.mode != FigureMode::Coordinate) return false;
    if (a.timeMs != b.timeMs || a.points.size() != b.points.size()) return false;
    for (std::size_t i = 0; i < a.points.size(); ++i)
        if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y) return false;
    return true;
}

}  // namespace

QString ExportSheet::CellLabel(int row, int col, const KeptFigure& figure) {
    return QStringLiteral("%1行%2列　%3")
        .arg(row)
        .arg(col)
        .arg(WithUnit(figure.value, figure.unit));
}

QString ExportSheet::Title() const {
    switch (source) {
        case FigureSourceKind::Drawing:
            return QStringLiteral("%1 %2ページ").arg(QFileInfo(sourceName).fileName()).arg(page);
        case FigureSourceKind::BlankPad:
            return QStringLiteral("仮想タブレット");
        case FigureSourceKind::Tablet:
            return sourceName.isEmpty() ? QStringLiteral("タブレット") : sourceName;
    }
    return {};
}

std::vector<ExportSheet> ExportSheet::Of(const std::vector<CellFigure>& figures) {
    std::vector<const CellFigure*> cells;
    for (const CellFigure& cell : figures)
        if (cell.figure) cells.push_back(&cell);
    std::stable_sort(cells.begin(), cells.end(), [](const CellFigure* a, const CellFigure* b) {
        return std::make_pair(a->row, a->col) < std::make_pair(b->row, b->col);
    });

    // Every figure of every cell, labelled. Each goes on the sheet of where
    // it was measured: a sum's figures may come from several pages.
    std::vector<ExportItem> items;
    for (const CellFigure* cell : cells) {
        const KeptFigure& figure = *cell->figure;
        bool first = true;
        int number = 0;
        for (const KeptFigure* part : figure.Figures()) {
            const int index = number++;
            if (part->points.empty()) continue;
            ExportItem item;
            item.row = cell->row;
            item.col = cell->col;
            item.part = index;
            item.cell = cell->figure;
            item.figure = part;
            if (first) {
                item.labels << CellLabel(cell->row, cell->col, figure);
            } else {
                const QString sign = part->minus ? QStringLiteral("−") : QStringLiteral("+");
                item.labels << sign + WithUnit(part->value, figure.unit);
            }
            first = false;
            items.push_back(std::move(item));
        }
    }
    const auto sheetKey = [](const ExportItem& item) {
        const KeptFigure& f = *item.figure;
        return std::make_tuple(SourceOrder(f.source), std::cref(f.sourceName), f.page);
    };
    std::stable_sort(items.begin(), items.end(), [&](const ExportItem& a, const ExportItem& b) {
        return sheetKey(a) < sheetKey(b);
    });

    std::vector<ExportSheet> sheets;
    // A coordinate's items of the current sheet by their time and pick, so
    // that a grid of coordinates stays quick to group.
    std::map<std::tuple<std::int64_t, std::int32_t, std::int32_t>, std::size_t> picks;
    for (ExportItem& item : items) {
        const KeptFigure& figure = *item.figure;
        if (sheets.empty() || sheets.back().source != figure.source ||
            sheets.back().sourceName != figure.sourceName || sheets.back().page != figure.page) {
            ExportSheet sheet;
            sheet.source = figure.source;
            sheet.sourceName = figure.sourceName;
            sheet.page = figure.page;
            sheets.push_back(std::move(sheet));
            picks.clear();
        }
        std::vector<ExportItem>& onSheet = sheets.back().items;
        if (figure.mode == FigureMode::Coordinate) {
            const auto pick =
                std::make_tuple(figure.timeMs, figure.points.front().x, figure.points.front().y);
            const auto same = picks.find(pick);
            if (same != picks.end() && SamePick(*onSheet[same->second].figure, figure)) {
                onSheet[same->second].labels << item.labels;
                continue;
            }
            picks[pick] = onSheet.size();
        }
        onSheet.push_back(std::move(item));
    }
    return sheets;
}
