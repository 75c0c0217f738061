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
    std::vector<const CellFigure*> ordered;
    for (const CellFigure& cell : figures)
        if (cell.figure && !cell.figure->points.empty()) ordered.push_back(&cell);
    const auto key = [](const CellFigure* c) {
        const KeptFigure& f = *c->figure;
        return std::make_tuple(SourceOrder(f.source), f.sourceName, f.page, c->row, c->col);
    };
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&](const CellFigure* a, const CellFigure* b) { return key(a) < key(b); });

    std::vector<ExportSheet> sheets;
    // A coordinate's items of the current sheet by their time and pick, so
    // that a grid of coordinates stays quick to group.
    std::map<std::tuple<std::int64_t, std::int32_t, std::int32_t>, std::size_t> picks;
    for (const CellFigure* cell : ordered) {
        const KeptFigure& figure = *cell->figure;
        if (sheets.empty() || sheets.back().source != figure.source ||
            sheets.back().sourceName != figure.sourceName || sheets.back().page != figure.page) {
            ExportSheet sheet;
            sheet.source = figure.source;
            sheet.sourceName = figure.sourceName;
            sheet.page = figure.page;
            sheets.push_back(std::move(sheet));
            picks.clear();
        }
        std::vector<ExportItem>& items = sheets.back().items;
        const QString label = CellLabel(cell->row, cell->col, figure);
        const auto pick =
            std::make_tuple(figure.timeMs, figure.points.front().x, figure.points.front().y);
        if (figure.mode == FigureMode::Coordinate) {
            const auto same = picks.find(pick);
            if (same != picks.end() && SamePick(*items[same->second].figure, figure)) {
                items[same->second].labels << label;
                continue;
            }
            picks[pick] = items.size();
        }
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
                item.labels << label;
            } else {
                const QString sign = part->minus ? QStringLiteral("−") : QStringLiteral("+");
                item.labels << sign + WithUnit(part->value, figure.unit);
            }
            first = false;
            items.push_back(std::move(item));
        }
    }
    return sheets;
}
