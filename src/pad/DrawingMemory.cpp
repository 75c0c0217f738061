#include "pad/DrawingMemory.h"

#include <algorithm>
#include <cmath>

#include "grid/NumberText.h"
#include "measure/ui/SideWindowSettings.h"
#include "pad/PadDialogs.h"

namespace {

// Keys in the settings file's section, beside the main window's.
const QString kFile = QStringLiteral("PadDrawing");
const QString kPage = QStringLiteral("PadDrawingPage");
const QString kZoom = QStringLiteral("PadDrawingZoom");
const QString kCentreX = QStringLiteral("PadDrawingX");
const QString kCentreY = QStringLiteral("PadDrawingY");
const QString kDpi = QStringLiteral("PadDrawingDpi");

// Numbers in the file are written and read the same under every locale.
QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

DrawingMemory::DrawingMemory(SideWindowSettings& settings) : settings_(settings) {
    timer_.setSingleShot(true);
    timer_.setInterval(kPauseMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Flush(); });
}

DrawingMemory::~DrawingMemory() { Flush(); }

std::optional<DrawingMemory::Recalled> DrawingMemory::Recall() const {
    Recalled recalled;
    State& state = recalled.state;
    state.file = settings_.Read(kFile).trimmed();
    if (state.file.isEmpty()) return std::nullopt;
    bool ok = false;
    const int page = settings_.Read(kPage).trimmed().toInt(&ok);
    state.page = ok && page >= 1 ? page : 1;
    const std::optional<double> dpi = ParseNumber(settings_.Read(kDpi));
    // Kept in the dialog's range: outside it a page would be a pin-prick
    // or a continent.
    state.untaggedDpi =
        dpi && *dpi > 0 ? std::clamp(*dpi, PadDialogs::kLowestDpi, PadDialogs::kHighestDpi) : 0;
    const std::optional<double> zoom = ParseNumber(settings_.Read(kZoom));
    const std::optional<double> x = ParseNumber(settings_.Read(kCentreX));
    const std::optional<double> y = ParseNumber(settings_.Read(kCentreY));
    if (zoom && *zoom > 0 && x && y) {
        recalled.placed = true;
        state.zoom = *zoom;
        state.centreMm = QPointF(*x, *y);
    }
    return recalled;
}

void DrawingMemory::Remember(const State& state, bool now) {
    pending_ = state;
    if (now) {
        Flush();
    } else {
        timer_.start();
    }
}

void DrawingMemory::Forget() {
    timer_.stop();
    pending_.reset();
    // A file that never had a drawing keeps its bytes.
    if (!settings_.Read(kFile).isEmpty()) settings_.Write({{kFile, QString()}});
}

void DrawingMemory::Flush() {
    timer_.stop();
    if (!pending_) return;
    const State state = *pending_;
    pending_.reset();
    settings_.Write({{kFile, state.file},
                     {kPage, QString::number(state.page)},
                     {kZoom, Number(state.zoom, 4)},
                     {kCentreX, Number(state.centreMm.x(), 2)},
                     {kCentreY, Number(state.centreMm.y(), 2)},
                     {kDpi, state.untaggedDpi > 0 ? QString::number(state.untaggedDpi, 'g', 17) : QString()}});
}
