// The window's side of the figures kept with measured values: what it knows
// of a measurement besides its points.

#include <QDateTime>

#include "grid/ui/MeiGridView.h"
#include "shell/FigureExportCommand.h"
#include "shell/TabControl.h"
#include "shell/WrappingPushButton.h"
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

FigureKeeper::Context frmTab::FigureContext() const {
    FigureKeeper::Context context;
    context.mode = ModeOf(SelectedMeasurement());
    context.referenceLength = ReferenceLengthText();
    context.tabletLength = TabletCountsText();
    context.verticalFactor = VerticalFactor();
    const bool area = context.mode == FigureMode::PickedArea || context.mode == FigureMode::TracedArea;
    context.unit = area ? AreaUnit() : LengthUnit();
    context.countsPerMm = tabletCountsPerMm_;
    if (services_.figure != nullptr) {
        context.origin = services_.figure->Origin();
        // A tablet plugged in while the pad stood in for it feeds the same
        // library as the pad: its points are the tablet's, not the drawing's.
        const std::optional<bool> onScreen = tablet_.LastPointOnScreen();
        if (context.origin.kind != FigureSourceKind::Tablet && onScreen == false)
            context.origin = {FigureSourceKind::Tablet, QString(), 0};
        else if (context.origin.kind != FigureSourceKind::Tablet && services_.figure->CountsPerMm() > 0)
            context.countsPerMm = services_.figure->CountsPerMm();
    }
    if (context.origin.kind == FigureSourceKind::Tablet) context.origin.name = services_.tabletName;
    context.timeMs = QDateTime::currentMSecsSinceEpoch();
    return context;
}

void frmTab::MeasuredFrom(const PointStore& points) { figures_.Measured(points, FigureContext()); }

void frmTab::SummedFrom(const PointStore& points, std::size_t index, bool minus) {
    figures_.Summed(points, FigureContext(), index, minus);
}

void frmTab::MeasuredSum() { figures_.MeasuredSum(); }

void frmTab::ConnectMarks() {
    if (services_.figure == nullptr) return;
    connect(msgMei, &MeiGridView::selectedRangeChanged, this, [this] {
        if (!grid_.Tags().empty() || marksShown_) PushMarks();
    });
    services_.figure->SetMarkRequest([this](int row, int col) {
        // While a run or the calibration collects points, a click on a kept
        // figure is a pick like any other.
        if (engine_.lMesMode != kMesNone) return false;
        if (!grid_.SetRow(row) || !grid_.SetCol(col)) return false;
        FocusGrid();
        return true;
    });
}

void frmTab::MarksMaybeChanged() {
    if (grid_.TagChanges() != pushedTags_) PushMarks();
}

void frmTab::PushMarks() {
    if (services_.figure == nullptr) return;
    pushedTags_ = grid_.TagChanges();
    const CellRange selected = msgMei->SelectedRange();
    std::vector<FigureMark> marks;
    marks.reserve(grid_.Tags().size());
    for (const auto& [key, tag] : grid_.Tags()) {
        const auto* kept = dynamic_cast<const KeptFigure*>(tag.get());
        if (kept == nullptr) continue;
        const int row = GridModel::KeyRow(key);
        const int col = GridModel::KeyCol(key);
        const bool highlighted =
            row >= selected.top && row <= selected.bottom && col >= selected.left && col <= selected.right;
        // A sum's figures each get a mark of the cell; the value stands by
        // the first, the others say whether they were added or counted off.
        for (const KeptFigure* figure : kept->Figures()) {
            FigureMark mark;
            mark.row = row;
            mark.col = col;
            // Shares the tag's ownership: the points live as long as a
            // display still draws them.
            mark.points = std::shared_ptr<const std::vector<FigurePoint>>(tag, &figure->points);
            mark.closed = figure->Closed();
            mark.point = figure->mode == FigureMode::Coordinate;
            mark.arcMiddles = figure->arcMiddles;
            mark.hole = figure->minus;
            const QString cell = QStringLiteral("%1行%2列").arg(row).arg(col);
            if (figure == kept) {
                const QString value =
                    kept->unit.isEmpty() ? kept->value : kept->value + QLatin1Char(' ') + kept->unit;
                mark.label = cell + QStringLiteral("　") + value;
                if (figure->minus) mark.label += QStringLiteral("（−）");
            } else {
                mark.label = cell + (figure->minus ? QStringLiteral("（−）") : QStringLiteral("（＋）"));
            }
            mark.highlighted = highlighted;
            mark.origin = {figure->source, figure->sourceName, figure->page};
            marks.push_back(std::move(mark));
        }
    }
    marksShown_ = !marks.empty();
    services_.figure->ShowMarks(std::move(marks));
}

void frmTab::BuildFigureExport(QWidget* page) {
    FigureExportCommand::Context context;
    context.selection = [this] { return msgMei->SelectedRange(); };
    context.startFolder = [this] { return SaveFolder(); };
    context.pageSize = services_.pageSizeMm;
    figureExport_ = std::make_unique<FigureExportCommand>(grid_, CommonDialog1, std::move(context));
    // In the free space between the coordinate frame and the pen's box,
    // on two lines as the sound button has it.
    cmdExportFigures = new WrappingPushButton(QStringLiteral("図形の書き出し…"), page);
    cmdExportFigures->setObjectName(QStringLiteral("cmdExportFigures"));
    sstMenu->PlaceOnPage(cmdExportFigures, {5985, 1500, 1305, 615});
    connect(cmdExportFigures, &QPushButton::clicked, this, [this] { ExportFigures(); });
}

void frmTab::ExportFigures() { figureExport_->Run(); }
