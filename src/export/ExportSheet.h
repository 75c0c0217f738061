#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "export/CellFigure.h"

// One figure as an export draws it: a cell's figure or one of its sum's
// others, with the lines of its label.
struct ExportItem {
    // The cell, and which of its figures this is (0 the first).
    int row = 0;
    int col = 0;
    int part = 0;
    // Holds the cell's figure alive; `figure` is it or one of its parts.
    std::shared_ptr<const KeptFigure> cell;
    const KeptFigure* figure = nullptr;
    // The cell's label ("3行2列　124.50 m²") on a cell's first figure; a
    // sum's other figures carry their own value with its sign ("−12.5 m²"),
    // a hole being the one counted off. A coordinate's two cells share one
    // point and one item with a line each.
    QStringList labels;
};

// What one exported file shows: the figures of one drawing page, of the
// blank pad, or of one tablet, in the order of their cells.
struct ExportSheet {
    FigureSourceKind source = FigureSourceKind::Tablet;
    QString sourceName;
    int page = 0;
    std::vector<ExportItem> items;

    // The figures grouped by where they were measured: drawings' pages first
    // (by file, then page), then the blank pad, then each tablet.
    static std::vector<ExportSheet> Of(const std::vector<CellFigure>& figures);
    // The label of a cell's value, as the pad shows it.
    static QString CellLabel(int row, int col, const KeptFigure& figure);
    // A few words for what the sheet shows: "plan.pdf 2ページ", "仮想タブレット",
    // the tablet's name.
    QString Title() const;
};
