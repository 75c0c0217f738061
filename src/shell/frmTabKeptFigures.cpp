// The window's side of the figures kept with measured values: what it knows
// of a measurement besides its points.

#include <QDateTime>

#include "shell/frmTab.h"

namespace {

FigureMode ModeOf(int option) {
    switch (option) {
        case 1: return FigureMode::PickedArea;
        case 2: return FigureMode::TracedArea;
        case 3: return FigureMode::PickedLength;
        case 4: return FigureMode::TracedLength;
        case 5: return FigureMode::Coordinate;
        default: return FigureMode::TwoPointDistance;
    }
}

}  // namespace

void frmTab::MeasuredFrom(const PointStore& points) {
    FigureKeeper::Context context;
    context.mode = ModeOf(SelectedMeasurement());
    context.referenceLength = ReferenceLengthText();
    context.tabletLength = TabletCountsText();
    context.verticalFactor = verticalFactor_;
    const bool area = context.mode == FigureMode::PickedArea || context.mode == FigureMode::TracedArea;
    context.unit = area ? AreaUnit() : LengthUnit();
    context.countsPerMm = tabletCountsPerMm_;
    if (services_.figure != nullptr) context.origin = services_.figure->Origin();
    if (context.origin.kind == FigureSourceKind::Tablet) context.origin.name = services_.tabletName;
    context.timeMs = QDateTime::currentMSecsSinceEpoch();
    figures_.Measured(points, context);
}
