// The window's side of the figure display: what is pushed to it, and when.

#include <QComboBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#include "measure/DescribeFigure.h"
#include "measure/ui/SidePlacement.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "shell/frmTab.h"

namespace {

// A long trace stores a point per tablet packet; the figure is rebuilt at
// most this often (milliseconds), not per notification, so its cost does
// not grow with the packet rate. Short enough to follow the pen.
constexpr int kFigureRefreshMs = 30;
// A figure so long that rebuilding it takes a while is rebuilt at most
// this share of the time: the next refresh waits that many times as long.
constexpr int kFigureCostSpacing = 5;

}  // namespace

void frmTab::FigureChanged() {
    if (services_.figure == nullptr || figurePending_) return;
    figurePending_ = true;
    const int wait = std::max(kFigureRefreshMs, kFigureCostSpacing * figureCostMs_);
    QTimer::singleShot(wait, this, [this] {
        if (figurePending_) RefreshFigure();
    });
}

void frmTab::RefreshFigure() {
    figurePending_ = false;
    if (services_.figure == nullptr) return;
    QElapsedTimer timing;
    timing.start();
    FigureFacts facts;
    facts.mesMode = engine_.lMesMode;
    facts.lengthMode = engine_.bLengthMode;
    const int selected = SelectedMeasurement();
    if (selected >= 0) facts.caption = optMes[static_cast<std::size_t>(selected)]->text();
    facts.twoPointAxis = cmbNiten->currentIndex();
    facts.decimals = cmbSyosu->currentIndex();
    facts.verticalCalibration = engine_.CalibratingVertical();
    Figure figure = CurrentFigure(engine_.points, facts, *this);
    engine_.DescribeFunctions(figure, facts.decimals);
    figure.notice = tabletNotice_;
    services_.figure->ShowFigure(figure);
    figureCostMs_ = static_cast<int>(std::min<qint64>(timing.elapsed(), 1000));
}

void frmTab::OpenFigureWindow() {
    if (services_.figure == nullptr) return;
    RefreshFigure();
    services_.figure->OpenWindow();
}

void frmTab::UndoLastPoint() {
    engine_.DropLastPoint();
    RefreshFigure();
}
