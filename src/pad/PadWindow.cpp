#include "pad/PadWindow.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTabletEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "measure/ui/SideWindowSettings.h"
#include "pad/DrawingOpening.h"
#include "pad/PadDialogs.h"
#include "pad/QtPadDialogs.h"
#include "units/Length.h"

namespace {

constexpr double kDefaultDpi = 96.0;
// Screens report their size in whole millimetres or not at all; outside this
// range the figure is not a resolution.
// A fake output's 1 pixel = 1 mm (25.4 dpi, headless compositors) is none;
// no screen a pad is drawn on is coarser than a large television's 40 dpi.
constexpr double kLowestDpi = 30.0;
constexpr double kHighestDpi = 2000.0;
// Zoom steps: a notch of the wheel (120 units), and Ctrl + + or −.
const double kWheelStep = std::pow(2.0, 0.25);
const double kKeyStep = std::sqrt(2.0);
// The figure over a drawing: a colour no black-and-white drawing has, dark
// enough to show on white paper and bright enough on black lines.
const QColor kLineOnDrawing(214, 0, 140);
const QColor kFillOnDrawing(214, 0, 140, 48);
const QColor kLineOnPad(31, 78, 156);
const QColor kFillOnPad(31, 78, 156, 36);
const QString kPadTitle = QStringLiteral("仮想タブレット");
// "0" while the operator keeps the kept figures hidden.
const QString kShowFiguresKey = QStringLiteral("PadShowFigures");

bool PlausibleDpi(double dpi) {
    return std::isfinite(dpi) && dpi >= kLowestDpi && dpi <= kHighestDpi;
}

// Rounds counts to the contract's 32-bit integers; a position far outside
// any screen saturates instead of overflowing.
std::int32_t ToCounts(double counts) {
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!std::isfinite(counts)) return 0;
    return static_cast<std::int32_t>(std::clamp(std::round(counts), lowest, highest));
}

// The screen's physical resolution per device-independent pixel along one
// axis, or 0 where the size the screen reports cannot be right; judged per
// device pixel, so that a scale factor of 2 does not halve it out of range.
double PhysicalDpi(const QScreen& screen, bool alongX) {
    const double dpi = alongX ? screen.physicalDotsPerInchX() : screen.physicalDotsPerInchY();
    return PlausibleDpi(dpi * screen.devicePixelRatio()) ? dpi : 0.0;
}

QString CannotOpen(const QString& path, const QString& why) {
    return QStringLiteral("図面を開けません。\n%1\n%2").arg(QDir::toNativeSeparators(path), why);
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // The keyboard stays with the view, where the pad's keys work.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

PadWindow::PadWindow(QWidget* parent)
    : FigureWindow(std::nullopt, parent),
      ownDialogs_(std::make_unique<QtPadDialogs>(this)),
      dialogs_(ownDialogs_.get()) {
    setObjectName(QStringLiteral("frmPad"));
    setWindowTitle(kPadTitle);
    setAcceptDrops(true);
    View().SetGridSpacing(10.0 * kCountsPerMillimetre);
    View().setCursor(Qt::CrossCursor);
    View().installEventFilter(this);

    open_ = Button(QStringLiteral("図面を開く…"), QStringLiteral("cmdOpenDrawing"), this);
    close_ = Button(QStringLiteral("図面を閉じる"), QStringLiteral("cmdCloseDrawing"), this);
    fit_ = Button(QStringLiteral("全体表示"), QStringLiteral("cmdFitDrawing"), this);
    zoom_ = new QLabel(this);
    zoom_->setObjectName(QStringLiteral("lblZoom"));
    zoom_->setMinimumWidth(zoom_->fontMetrics().horizontalAdvance(QStringLiteral("3200%")) + 8);
    zoom_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Its room is kept while the pad is blank: a drawing opened must not
    // widen the pad past the screen's edge or over the main window.
    QSizePolicy keepRoom = zoom_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    zoom_->setSizePolicy(keepRoom);
    // What the pad says of the drawing shown: a part it could not read, a
    // path the settings cannot keep.
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("lblDrawingNote"));
    note_->setWordWrap(true);
    note_->hide();
    QHBoxLayout& row = ButtonRow();
    row.insertWidget(0, open_);
    row.insertWidget(1, close_);
    row.insertWidget(2, fit_);
    row.insertWidget(3, zoom_);
    row.insertWidget(4, note_, 1);
    connect(open_, &QPushButton::clicked, this, [this] { ChooseDrawing(); });
    connect(close_, &QPushButton::clicked, this, [this] { CloseDrawing(); });
    connect(fit_, &QPushButton::clicked, this, [this] { FitDrawing(); });

    // Kept figures: a row of their own under the buttons, so that the
    // drawing's row keeps the width it has.
    showMarks_ = new QCheckBox(QStringLiteral("計測した図形を表示"), this);
    showMarks_->setObjectName(QStringLiteral("chkShowFigures"));
    showMarks_->setFocusPolicy(Qt::NoFocus);
    showMarks_->setChecked(true);
    auto* marksRow = new QHBoxLayout;
    marksRow->addWidget(showMarks_);
    // The export is the main window's, which holds the figures: the pad
    // only asks for it.
    auto* exportFigures =
        Button(QStringLiteral("図形の書き出し…"), QStringLiteral("cmdExportFigures"), this);
    connect(exportFigures, &QPushButton::clicked, this, [this] {
        if (onExportFigures) onExportFigures();
    });
    marksRow->addWidget(exportFigures);
    marksRow->addStretch(1);
    static_cast<QBoxLayout*>(layout())->addLayout(marksRow);
    connect(showMarks_, &QCheckBox::toggled, this, [this](bool on) {
        ApplyMarks(false);
        // Written only once the operator turns it off, so that a settings
        // file where it was never touched keeps the keys it had.
        if (Settings() != nullptr && (!on || !Settings()->Read(kShowFiguresKey).isEmpty()))
            Settings()->Write({{kShowFiguresKey, on ? QStringLiteral("1") : QStringLiteral("0")}});
    });
    DrawingMoved(false);
    UpdateScale();
}

PadWindow::~PadWindow() {
    opening_.reset();
    View().SetBackdrop(nullptr);
    drawing_.reset();
    View().removeEventFilter(this);
}

void PadWindow::SetDialogs(PadDialogs* dialogs) {
    dialogs_ = dialogs != nullptr ? dialogs : ownDialogs_.get();
}

void PadWindow::SetSettings(SideWindowSettings* settings) {
    FigureWindow::SetSettings(settings);
    memory_.reset();
    if (settings != nullptr) memory_.emplace(*settings);
    if (settings != nullptr) {
        const QSignalBlocker quiet(showMarks_);
        showMarks_->setChecked(settings->Read(kShowFiguresKey) != QStringLiteral("0"));
        ApplyMarks(false);
    }
}

void PadWindow::ShowMarks(std::vector<FigureMark> marks) {
    marks_ = std::move(marks);
    ApplyMarks(true);
}

void PadWindow::SetMarkRequest(std::function<bool(int, int)> markClicked) {
    markClicked_ = std::move(markClicked);
}

void PadWindow::ApplyMarks(bool scrollToChosen) {
    const FigureOrigin here = Origin();
    marksOrigin_ = here;
    std::vector<FigureMark> shown;
    if (showMarks_->isChecked()) {
        for (const FigureMark& mark : marks_) {
            if (mark.origin.kind != here.kind) continue;
            if (here.kind == FigureSourceKind::Drawing &&
                (mark.origin.name != here.name || mark.origin.page != here.page))
                continue;
            shown.push_back(mark);
        }
    }
    View().SetMarks(std::move(shown));
    if (!scrollToChosen || !drawing_) return;
    const std::optional<QRectF> chosen = View().Marks().HighlightedBounds();
    if (!chosen) return;
    const QRectF surface(View().SurfaceRect());
    const QRectF onScreen = View().CountsToPixels().mapRect(*chosen);
    if (surface.contains(onScreen)) return;
    // Moved so that the figure's middle is in the middle of the view, at
    // the zoom the operator chose.
    PanDrawing((surface.center() - onScreen.center()).toPoint());
}

bool PadWindow::TakeMarkClick(QEvent::Type type, const QPointF& viewPosition, bool leftDown) {
    if (markPress_) {
        if (!leftDown) markPress_ = false;
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::TabletPress) return false;
    if (!leftDown || tip_ || !markClicked_ || View().Marks().Empty()) return false;
    const auto cell = View().Marks().CellAt(viewPosition, View().CountsToPixels());
    if (!cell || !markClicked_(cell->first, cell->second)) return false;
    markPress_ = true;
    return true;
}

double PadWindow::CountsPerPixel(double physicalDpi, double fallbackDpi) {
    double dpi = physicalDpi;
    if (!PlausibleDpi(dpi)) dpi = fallbackDpi;
    if (!PlausibleDpi(dpi)) dpi = kDefaultDpi;
    return kCountsPerMillimetre * kMillimetresPerInch / dpi;
}

double PadWindow::ScreenPixelsPerMm() const {
    const QScreen* s = screen();
    if (s == nullptr) return kDefaultDpi / kMillimetresPerInch;
    return kCountsPerMillimetre / CountsPerPixel(PhysicalDpi(*s, true), kDefaultDpi);
}

QSize PadWindow::SurfaceSize() const { return View().SurfaceRect().size(); }

void PadWindow::UpdateScale() {
    // With a drawing the counts are the paper's, whatever the screen.
    if (drawing_) {
        View().SetNote(QString());
        return;
    }
    // Mouse and tablet positions come in device-independent pixels, and the
    // screen's physical resolution is given per such pixel: millimetres on
    // the screen are pixels × 25.4 / dpi, and counts are millimetres × 80.
    const QScreen* s = screen();
    if (s == nullptr) return;
    const double dpiX = PhysicalDpi(*s, true);
    const double dpiY = PhysicalDpi(*s, false);
    View().SetCountsPerPixel(CountsPerPixel(dpiX, kDefaultDpi), CountsPerPixel(dpiY, kDefaultDpi));
    // Lengths on a guessed resolution are not the screen's millimetres: the
    // operator must know before trusting them.
    const bool guessed = dpiX == 0.0 || dpiY == 0.0;
    View().SetNote(guessed ? QStringLiteral("画面の大きさが不明のため 96 dpi として計測") : QString());
}

FigurePoint PadWindow::CountsAt(const QPointF& viewPosition) const {
    // The inverse of the view's own mapping: what is drawn lies under the
    // pointer that drew it.
    const QPointF counts = View().CountsToPixels().inverted().map(viewPosition);
    return {ToCounts(counts.x()), ToCounts(counts.y())};
}

void PadWindow::SendFrame(const QPointF& viewPosition, bool tip, bool side) {
    const FigurePoint at = CountsAt(viewPosition);
    PenFrame frame;
    frame.x = at.x;
    frame.y = at.y;
    frame.moved = !sentAny_ || at.x != last_.x || at.y != last_.y;
    frame.tip = tip;
    frame.side = side;
    if (tip == tip_ && side == side_ && !frame.moved) return;
    tip_ = tip;
    side_ = side;
    last_ = at;
    sentAny_ = true;
    if (onFrame) onFrame(frame);
}

FigureOrigin PadWindow::Origin() const {
    if (!drawing_) return {FigureSourceKind::BlankPad, QString(), 0};
    return {FigureSourceKind::Drawing, drawing_->Of().file, drawing_->Of().page};
}

QString PadWindow::OpenFilter() {
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    QStringList patterns{QStringLiteral("*.pdf"), QStringLiteral("*.png"), QStringLiteral("*.bmp")};
    QStringList missing;
    if (formats.contains("jpeg")) {
        patterns << QStringLiteral("*.jpg") << QStringLiteral("*.jpeg");
    } else {
        missing << QStringLiteral("JPEG");
    }
    if (formats.contains("tiff")) {
        patterns << QStringLiteral("*.tif") << QStringLiteral("*.tiff");
    } else {
        missing << QStringLiteral("TIFF");
    }
    QString drawings = QStringLiteral("図面（PDF・画像）");
    if (!missing.isEmpty())
        drawings += QStringLiteral("　※%1 は開けません").arg(missing.join(QStringLiteral("・")));
    return QStringLiteral("%1 (%2);;すべてのファイル (*)").arg(drawings, patterns.join(u' '));
}

void PadWindow::ChooseDrawing() {
    QString folder = lastFolder_;
    if (folder.isEmpty() && drawing_) folder = QFileInfo(drawing_->Of().file).absolutePath();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The helper starts while the operator chooses: the drawing opens sooner.
    Helper().Prepare();
    const QString path = dialogs_->OpenDrawingName(OpenFilter(), folder);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    OpenDrawing(path);
}

DrawingHelper& PadWindow::Helper() {
    if (!helper_) helper_ = std::make_unique<DrawingHelper>();
    return *helper_;
}

void PadWindow::UseHelper(std::unique_ptr<DrawingHelper> helper) {
    CloseDrawing();
    helper_ = std::move(helper);
}

void PadWindow::OpenDrawing(const QString& path) {
    auto opening = std::make_unique<DrawingOpening>(Helper(), path);
    const DrawingOpening* const self = opening.get();
    const QString name = QFileInfo(path).fileName();
    const QString file = QFileInfo(path).absoluteFilePath();
    opening->choose =
        [this, name,
         file](const DrawingFile::Probe& probe) -> std::optional<DrawingOpening::Choice> {
        DrawingOpening::Choice choice;
        if (probe.pages > 1) {
            const std::optional<int> chosen = dialogs_->ChoosePage(name, probe.pages);
            if (!chosen) return std::nullopt;
            choice.page = *chosen;
        }
        if (probe.kind == DrawingFile::Kind::Image && !probe.dpi) {
            // Asked once per file: the same scan opened again is taken as told.
            if (!givenDpi_.contains(file)) {
                const std::optional<int> given = dialogs_->AskDpi(name, kProposedDpi);
                if (!given) return std::nullopt;
                givenDpi_.insert(file, *given);
            }
            choice.untaggedDpi = givenDpi_.value(file);
        }
        return choice;
    };
    opening->onOpened = [this, self, file](const DrawingHelper::Page& page, int pages) {
        if (opening_.get() != self) return;
        ShowDrawing(page, {file, page.page, pages, page.untaggedDpi}, std::nullopt);
    };
    opening->onFailed = [this, self, path](const QString& why) {
        if (opening_.get() != self) return;
        EndOpening();
        if (!why.isEmpty()) dialogs_->Notify(CannotOpen(path, why));
    };
    StartOpening(std::move(opening));
}

void PadWindow::StartOpening(std::unique_ptr<DrawingOpening> opening) {
    // The last file asked for wins: the one before is cancelled, after the
    // new one has taken the helper from it (one restart of the helper, not
    // two, when it was stuck in the file).
    std::unique_ptr<DrawingOpening> previous = std::move(opening_);
    opening_ = std::move(opening);
    opening_->Start();
    previous.reset();
    UpdateNote();
    close_->setEnabled(true);
}

void PadWindow::EndOpening() {
    opening_.reset();
    UpdateNote();
    close_->setEnabled(drawing_ != nullptr);
}

void PadWindow::UpdateNote() {
    const QString text = opening_ ? QStringLiteral("図面を開いています…（%1）")
                                        .arg(QFileInfo(opening_->Path()).fileName())
                                  : drawingNotes_;
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

void PadWindow::ShowDrawing(const DrawingHelper::Page& page, const PadDrawing::Source& source,
                            const std::optional<DrawingMemory::State>& placed) {
    opening_.reset();
    // The old drawing's call to the helper goes before the new one's starts.
    View().SetBackdrop(nullptr);
    drawing_.reset();
    drawing_ = std::make_unique<PadDrawing>(Helper(), page, source);
    drawing_->onChanged = [this] { View().update(); };
    // Kept for the next start only once it has drawn: a drawing that
    // crashes the reader must not come back at every start.
    drawing_->onRendered = [this] { Remember(true); };
    const std::uint64_t shown = ++drawingsShown_;
    drawing_->onFailure = [this, shown](DrawingHelper::Failure failure) {
        // After the call has ended: the notice waits for the operator.
        QMetaObject::invokeMethod(
            this, [this, shown, failure] { DrawingFailed(shown, failure); }, Qt::QueuedConnection);
    };
    QStringList notes;
    if (page.partial)
        notes << QStringLiteral("画像の一部を読めませんでした（ファイルが途中で切れています）。");
    if (memory_ && !memory_->Holds(source.file))
        notes << QStringLiteral("次回は自動で開けません（ファイルの場所と名前が長すぎて、"
                                "設定ファイルに記録できません）。");
    drawingNotes_ = notes.join(u' ');
    UpdateNote();
    DrawingViewport& viewport = drawing_->Viewport();
    viewport.SetScreen(ScreenPixelsPerMm());
    viewport.SetView(SurfaceSize());
    if (placed) {
        viewport.Show(placed->zoom, placed->centreMm);
    } else {
        viewport.Fit();
    }
    View().SetBackdrop(drawing_.get());
    DrawingMoved(true);
}

void PadWindow::DrawingFailed(std::uint64_t shown, DrawingHelper::Failure failure) {
    // Said of the drawing still shown only: one closed meanwhile is gone.
    if (!drawing_ || shown != drawingsShown_) return;
    const QString file = drawing_->Of().file;
    // Not opened at the next start: said here, once.
    if (memory_) memory_->Forget();
    dialogs_->Notify(QStringLiteral("図面を描けません。\n%1\n%2\nこの図面は次回の起動では開きません。"
                                    "計測はそのまま続けられます。")
                         .arg(QDir::toNativeSeparators(file), Helper().Describe(failure)));
}

void PadWindow::CloseDrawing() {
    // An opening under way goes as well: the operator wants the pad blank.
    const bool opening = opening_ != nullptr;
    opening_.reset();
    if (!drawing_ && !opening) return;
    View().SetBackdrop(nullptr);
    drawing_.reset();
    drawingNotes_.clear();
    UpdateNote();
    if (memory_) memory_->Forget();
    DrawingMoved(false);
}

void PadWindow::RestoreDrawing() {
    if (!memory_) return;
    const std::optional<DrawingMemory::Recalled> recalled = memory_->Recall();
    if (!recalled) return;
    const DrawingMemory::State state = recalled->state;
    const QString file = QFileInfo(state.file).absoluteFilePath();
    auto opening = std::make_unique<DrawingOpening>(Helper(), state.file);
    const DrawingOpening* const self = opening.get();
    opening->choose =
        [this, state,
         file](const DrawingFile::Probe& probe) -> std::optional<DrawingOpening::Choice> {
        DrawingOpening::Choice choice{state.page, 0};
        if (probe.kind == DrawingFile::Kind::Image && !probe.dpi) {
            choice.untaggedDpi = state.untaggedDpi;
            if (choice.untaggedDpi <= 0) {
                const std::optional<int> given =
                    dialogs_->AskDpi(QFileInfo(state.file).fileName(), kProposedDpi);
                // Not asked again at the next start.
                if (!given) {
                    if (memory_) memory_->Forget();
                    return std::nullopt;
                }
                choice.untaggedDpi = *given;
            }
            givenDpi_.insert(file, static_cast<int>(choice.untaggedDpi));
        }
        return choice;
    };
    const std::optional<DrawingMemory::State> placed =
        recalled->placed ? std::optional(state) : std::nullopt;
    opening->onOpened = [this, self, file, placed](const DrawingHelper::Page& page, int pages) {
        if (opening_.get() != self) return;
        ShowDrawing(page, {file, page.page, pages, page.untaggedDpi}, placed);
    };
    opening->onFailed = [this, self, state](const QString& why) {
        if (opening_.get() != self) return;
        EndOpening();
        if (why.isEmpty()) return;
        dialogs_->Notify(
            QStringLiteral("前回の図面を開けないため、白紙の仮想タブレットで始めます。\n%1\n%2")
                .arg(QDir::toNativeSeparators(state.file), why));
        // Said once: the next start begins blank without a word.
        if (memory_) memory_->Forget();
    };
    StartOpening(std::move(opening));
}

void PadWindow::FitDrawing() {
    if (!drawing_) return;
    drawing_->Viewport().SetView(SurfaceSize());
    drawing_->Viewport().Fit();
    DrawingMoved(false);
}

void PadWindow::ZoomDrawing(double factor, const QPointF& viewPosition) {
    if (!drawing_) return;
    DrawingViewport& viewport = drawing_->Viewport();
    viewport.ZoomAbout(viewport.Zoom() * factor, viewPosition - View().SurfaceRect().topLeft());
    DrawingMoved(false);
}

void PadWindow::PanDrawing(const QPoint& pixels) {
    if (!drawing_) return;
    drawing_->Viewport().PanBy(pixels);
    DrawingMoved(false);
}

void PadWindow::DrawingMoved(bool rememberNow) {
    const bool open = drawing_ != nullptr;
    // Another drawing, page or the blank pad: its own kept figures.
    const FigureOrigin here = Origin();
    if (marksOrigin_ && (marksOrigin_->kind != here.kind || marksOrigin_->name != here.name ||
                         marksOrigin_->page != here.page))
        ApplyMarks(false);
    close_->setEnabled(open || opening_ != nullptr);
    fit_->setEnabled(open);
    zoom_->setVisible(open);
    if (!open) {
        View().SetOrigin(QPointF());
        View().SetGridSpacing(10.0 * kCountsPerMillimetre);
        View().SetFigureColours(kLineOnPad, kFillOnPad);
        UpdateScale();
        UpdateTitle();
        return;
    }
    const DrawingViewport& viewport = drawing_->Viewport();
    // Counts are the paper's millimetres times 80: a pixel covers as many
    // as the zoom leaves on it.
    const double countsPerPixel = kCountsPerMillimetre / viewport.PixelsPerMm();
    View().SetCountsPerPixel(countsPerPixel, countsPerPixel);
    View().SetOrigin(QPointF(viewport.Corner()));
    View().SetGridSpacing(0);
    View().SetFigureColours(kLineOnDrawing, kFillOnDrawing);
    View().SetNote(QString());
    zoom_->setText(QStringLiteral("%1%").arg(std::lround(viewport.Zoom() * 100)));
    UpdateTitle();
    Remember(rememberNow);
}

void PadWindow::Remember(bool now) {
    if (!memory_ || !drawing_ || !drawing_->Rendered() || drawing_->Failed()) return;
    const PadDrawing::Source& source = drawing_->Of();
    // A path the settings would cut is not kept at all: cut, it would name
    // another file, or none ("見つかりません" at the next start).
    if (!memory_->Holds(source.file)) return;
    const DrawingViewport& viewport = drawing_->Viewport();
    memory_->Remember(
        {source.file, source.page, viewport.Zoom(), viewport.CentreMm(), source.untaggedDpi}, now);
}

void PadWindow::UpdateTitle() {
    if (!drawing_) {
        setWindowTitle(kPadTitle);
        return;
    }
    const PadDrawing::Source& source = drawing_->Of();
    QString title = kPadTitle + QStringLiteral(" － ") + QFileInfo(source.file).fileName();
    if (source.pages > 1)
        title += QStringLiteral("（%1 / %2 ページ）").arg(source.page).arg(source.pages);
    setWindowTitle(title);
}

bool PadWindow::Pan(QMouseEvent* event) {
    if (!drawing_) return false;
    const QPoint at = event->position().toPoint();
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (panFrom_) return true;
            if (event->button() == Qt::MiddleButton ||
                (spaceHeld_ && event->button() == Qt::LeftButton && !tip_)) {
                panFrom_ = at;
                View().setCursor(Qt::ClosedHandCursor);
                return true;
            }
            return false;
        case QEvent::MouseMove:
            if (!panFrom_) return false;
            PanDrawing(at - *panFrom_);
            panFrom_ = at;
            return true;
        case QEvent::MouseButtonRelease:
            if (!panFrom_) return false;
            if (event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) return true;
            panFrom_.reset();
            View().setCursor(spaceHeld_ ? Qt::OpenHandCursor : Qt::CrossCursor);
            return true;
        default:
            return false;
    }
}

bool PadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &View()) return FigureWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:  // the second press of a quick double pick
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (Pan(mouse)) return true;
            if (TakeMarkClick(event->type(), mouse->position(),
                              (mouse->buttons() & Qt::LeftButton) != 0))
                return true;
            // A new stroke on a screen of another resolution takes its scale.
            if (!tip_ && (mouse->buttons() & Qt::LeftButton)) UpdateScale();
            SendFrame(mouse->position(), (mouse->buttons() & Qt::LeftButton) != 0,
                      (mouse->buttons() & Qt::RightButton) != 0);
            return true;
        }
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease: {
            // A pen reports its tip as the left button and its barrel
            // buttons as the middle and right ones. Accepted here, the event
            // is not turned into a mouse event as well.
            auto* pen = static_cast<QTabletEvent*>(event);
            const bool tip = (pen->buttons() & Qt::LeftButton) != 0;
            if (TakeMarkClick(event->type(), pen->position(), tip)) {
                event->accept();
                return true;
            }
            if (!tip_ && tip) UpdateScale();
            SendFrame(pen->position(), tip,
                      (pen->buttons() & (Qt::RightButton | Qt::MiddleButton)) != 0);
            event->accept();
            return true;
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!drawing_) return true;
            const QPoint delta = wheel->angleDelta();
            const int notches = delta.y() != 0 ? delta.y() : delta.x();
            if (notches != 0) ZoomDrawing(std::pow(kWheelStep, notches / 120.0), wheel->position());
            return true;
        }
        case QEvent::Resize:
            if (drawing_) {
                // The paper at the centre stays there.
                DrawingViewport& viewport = drawing_->Viewport();
                const QPointF centre = viewport.CentreMm();
                viewport.SetView(SurfaceSize());
                viewport.Show(viewport.Zoom(), centre);
                DrawingMoved(false);
            }
            return FigureWindow::eventFilter(watched, event);
        case QEvent::ContextMenu:
            // The right button is the side switch, never a menu.
            return true;
        default:
            return FigureWindow::eventFilter(watched, event);
    }
}

bool PadWindow::PadKey(QKeyEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        if (event->key() != Qt::Key_Space || event->isAutoRepeat()) return false;
        spaceHeld_ = false;
        if (!panFrom_) View().setCursor(Qt::CrossCursor);
        return true;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const QPointF centre = View().SurfaceRect().center();
    if (event->matches(QKeySequence::Open)) {
        ChooseDrawing();
    } else if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = true;
        if (drawing_ && !panFrom_) View().setCursor(Qt::OpenHandCursor);
    } else if (ctrl && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal ||
                        event->key() == Qt::Key_Semicolon)) {
        // "+" is Shift+; on a Japanese keyboard and Shift+= on others:
        // Ctrl with either key, shifted or not.
        ZoomDrawing(kKeyStep, centre);
    } else if (ctrl && event->key() == Qt::Key_Minus) {
        ZoomDrawing(1.0 / kKeyStep, centre);
    } else if (ctrl && event->key() == Qt::Key_0) {
        if (drawing_) ZoomDrawing(1.0 / drawing_->Viewport().Zoom(), centre);
    } else {
        return false;
    }
    return true;
}

bool PadWindow::OwnerKey(QKeyEvent* event) {
    if (FigureWindow::OwnerKey(event)) return true;
    const bool space = event->key() == Qt::Key_Space;
    // Space is only held for a drag on the pad: the main window still sees it.
    return PadKey(event) && !space;
}

void PadWindow::keyPressEvent(QKeyEvent* event) {
    if (PadKey(event)) {
        event->accept();
        return;
    }
    FigureWindow::keyPressEvent(event);
}

void PadWindow::keyReleaseEvent(QKeyEvent* event) {
    if (PadKey(event)) {
        event->accept();
        return;
    }
    FigureWindow::keyReleaseEvent(event);
}

void PadWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    // Started while the file is carried over, as while it is chosen.
    Helper().Prepare();
}

void PadWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    // After the drop has ended: a dialog inside it would hold the dragging
    // program until it closed.
    const QString path = urls.front().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, path] { OpenDrawing(path); }, Qt::QueuedConnection);
}

void PadWindow::showEvent(QShowEvent* event) {
    FigureWindow::showEvent(event);
    UpdateScale();
}

void PadWindow::hideEvent(QHideEvent* event) {
    // The pad closed (not minimised): a drawing it was opening is not shown.
    if (!event->spontaneous() && opening_) EndOpening();
    // A stroke whose release the pad will not see still ends, where the
    // pen was last: the figure must not stay open while nobody can close it.
    if (tip_ || side_) {
        PenFrame frame;
        frame.x = last_.x;
        frame.y = last_.y;
        tip_ = false;
        side_ = false;
        if (onFrame) onFrame(frame);
    }
    panFrom_.reset();
    spaceHeld_ = false;
    FigureWindow::hideEvent(event);
}
