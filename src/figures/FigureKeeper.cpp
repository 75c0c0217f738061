#include "figures/FigureKeeper.h"

#include <algorithm>
#include <iterator>

#include "grid/GridModel.h"
#include "measure/PointStore.h"

void FigureKeeper::Measured(const PointStore& points, const Context& context) {
    std::optional<KeptFigure> figure = FigureOf(points, context);
    pending_ = figure ? std::make_shared<KeptFigure>(std::move(*figure)) : nullptr;
}

void FigureKeeper::Summed(const PointStore& points, const Context& context, std::size_t index,
                          bool minus) {
    if (index == 0) sum_.clear();
    std::optional<KeptFigure> figure = FigureOf(points, context);
    if (!figure) return;
    figure->minus = minus;
    sum_.push_back(std::move(*figure));
}

void FigureKeeper::MeasuredSum() {
    pending_.reset();
    if (sum_.empty()) return;
    auto figure = std::make_shared<KeptFigure>(std::move(sum_.front()));
    figure->parts.assign(std::make_move_iterator(sum_.begin() + 1), std::make_move_iterator(sum_.end()));
    sum_.clear();
    pending_ = std::move(figure);
}

std::optional<KeptFigure> FigureKeeper::FigureOf(const PointStore& points, const Context& context) {
    std::optional<KeptFigure> figure(std::in_place);
    figure->mode = context.mode;
    const auto count = static_cast<std::size_t>(std::max(points.lPointCount, 0));
    figure->points.reserve(count);
    for (std::size_t i = 0; i < count && i < points.lPointX.size() && i < points.lPointY.size(); ++i)
        figure->points.push_back({points.lPointX[i], points.lPointY[i]});
    for (const std::int32_t middle : points.arcMiddles)
        if (middle >= 1 && static_cast<std::size_t>(middle) + 1 < count &&
            (figure->arcMiddles.empty() || middle >= figure->arcMiddles.back() + 2))
            figure->arcMiddles.push_back(middle);
    // An area's calculation closes the polygon in the store; the figure is
    // drawn closed anyway, so the copy of the first point is left out.
    auto& kept = figure->points;
    if (figure->Closed() && kept.size() > 3 && kept.back().x == kept.front().x &&
        kept.back().y == kept.front().y)
        kept.pop_back();
    figure->referenceLength = context.referenceLength;
    figure->tabletLength = context.tabletLength;
    figure->verticalFactor = context.verticalFactor;
    figure->unit = context.unit;
    figure->countsPerMm = context.countsPerMm;
    figure->source = context.origin.kind;
    figure->sourceName = context.origin.name;
    figure->page = context.origin.page;
    figure->timeMs = context.timeMs;
    if (figure->points.empty()) return std::nullopt;
    return figure;
}

void FigureKeeper::Attach(GridModel& grid, int row, int col, const QString& value) {
    if (!pending_) return;
    // Each cell keeps a figure of its own value; a coordinate's two cells
    // share the points but not the value.
    auto figure = std::make_shared<KeptFigure>(*pending_);
    figure->value = value;
    grid.SetTag(row, col, std::move(figure));
}
