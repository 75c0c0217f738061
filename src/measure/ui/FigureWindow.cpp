#include "measure/ui/FigureWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "measure/ui/SidePlacement.h"

namespace {

// The view never shrinks below a size a figure can still be told apart in,
// logical pixels.
constexpr QSize kLeastView(160, 120);
// A moved or resized window is kept once it has stood still this long
// (milliseconds): a drag is one write, and a crash still keeps it.
constexpr int kPlaceWriteMs = 800;
// How long a window manager takes to frame a new window, milliseconds.
constexpr int kFramedMs = 250;
// Logical pixels a window manager may shift or resize a window by in
// rounding to device pixels (scale factors such as 1.5).
constexpr int kRoundingSlack = 2;
// How often, and how long each time (milliseconds), a side window waits for
// its owner to be framed before it opens beside it.
constexpr int kFramingWaits = 20;
constexpr int kFramingWaitMs = 50;

// A function key as the main window's key handler numbers it (F1 is 112).
int KeyCodeOf(int qtFunctionKey) { return qtFunctionKey - Qt::Key_F1 + 112; }

bool IsUndoLastPointKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Backspace && (key.modifiers() & Qt::ControlModifier);
}

}  // namespace

FigureWindow::FigureWindow(std::optional<TabletArea> area, QWidget* parent)
    // A tool window: kept above the program's main window, as a palette is.
    // It never takes the keyboard from the main window, where the operator
    // types between picks.
    : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("frmFigure"));
    setWindowTitle(QStringLiteral("計測中の図形"));
    // A side window: the program ends when the main window closes, whether
    // or not this one is still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating, true);

    view_ = new FigureView(this);
    view_->setObjectName(QStringLiteral("picFigure"));
    view_->setMinimumSize(kLeastView);
    if (area && !area->IsEmpty()) view_->SetArea(*area);

    undo_ = new QPushButton(QStringLiteral("最後の点を取消"), this);
    undo_->setObjectName(QStringLiteral("cmdUndo"));
    undo_->setToolTip(QStringLiteral("Ctrl+BackSpace"));
    // The keyboard stays with the view, where Backspace and Ctrl+Z work.
    undo_->setFocusPolicy(Qt::NoFocus);
    connect(undo_, &QPushButton::clicked, this, [this] { RequestUndo(); });

    // Left of the row: a sum is on while it is ticked, and it says so even
    // when the status line is cut short.
    sum_ = new QCheckBox(QStringLiteral("合算"), this);
    sum_->setObjectName(QStringLiteral("chkSum"));
    sum_->setToolTip(QStringLiteral("F8：合算の開始・表に入れる　Shift+F8：次の図形を差し引く"));
    sum_->setFocusPolicy(Qt::NoFocus);
    // The box follows the sum, not the click: the click only asks for F8,
    // which may be refused (a distance is measured) and the figure shown
    // next puts the box right.
    connect(sum_, &QCheckBox::clicked, this, [this] {
        if (functionKey_) functionKey_(KeyCodeOf(Qt::Key_F8), 0);
    });

    buttons_ = new QHBoxLayout;
    buttons_->addWidget(sum_);
    buttons_->addStretch(1);
    buttons_->addWidget(undo_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons_);
    view_->setFocus(Qt::OtherFocusReason);

    placeTimer_ = new QTimer(this);
    placeTimer_->setSingleShot(true);
    placeTimer_->setInterval(kPlaceWriteMs);
    connect(placeTimer_, &QTimer::timeout, this, [this] { WritePlace(); });

    // A screen unplugged, added or given another panel: the window must not
    // be left where no screen shows it.
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this,
                [this] { QTimer::singleShot(0, this, [this] { KeepOnScreen(); }); });
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        QTimer::singleShot(0, this, [this] { KeepOnScreen(); });
    });
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this] { QTimer::singleShot(0, this, [this] { KeepOnScreen(); }); });
}

FigureWindow::~FigureWindow() {
    qApp->removeEventFilter(this);
    if (placeTimer_->isActive()) WritePlace();
}

void FigureWindow::ShowFigure(const Figure& figure) {
    sum_->setChecked(figure.summing);
    view_->SetFigure(figure);
}

void FigureWindow::SetFunctionRequests(std::function<void(int, int)> functionKey) {
    functionKey_ = std::move(functionKey);
}

void FigureWindow::OpenWindow() {
    if (!placed_) Place();
    if (isMinimized()) showNormal();
    show();
    raise();
}

void FigureWindow::ShowMarks(std::vector<FigureMark> marks) {
    std::erase_if(marks, [](const FigureMark& m) {
        return !m.highlighted || m.origin.kind != FigureSourceKind::Tablet;
    });
    View().SetMarks(std::move(marks));
}

void FigureWindow::SetRequests(std::function<void()> undoLastPoint,
                               std::function<void()> endFigure) {
    undoLastPoint_ = std::move(undoLastPoint);
    endFigure_ = std::move(endFigure);
}

void FigureWindow::RequestUndo() {
    if (undoLastPoint_) undoLastPoint_();
}

void FigureWindow::SetOwner(QWidget* owner) {
    owner_ = owner;
    // The owner's keys pass here first; see OwnerKey.
    qApp->removeEventFilter(this);
    if (owner != nullptr) qApp->installEventFilter(this);
}

void FigureWindow::SetSettings(SideWindowSettings* settings) {
    if (placeTimer_->isActive()) WritePlace();
    settings_ = settings;
}

void FigureWindow::ShowAbove(QWidget* owner) {
    SetOwner(owner);
    if (docked_) {
        Place();
        show();
        return;
    }
    // Under X the owner is framed a moment after it shows; placed before
    // that, this window would lie over its border and title bar. Waited
    // for, a little while at most.
    const bool unframed = owner != nullptr && owner->isVisible() &&
                          owner->frameGeometry() == owner->geometry() &&
                          QGuiApplication::platformName() == QLatin1String("xcb");
    if (unframed && framingWaits_ < kFramingWaits) {
        ++framingWaits_;
        QTimer::singleShot(kFramingWaitMs, this, [this, owner] {
            if (owner_ == owner && !isVisible()) ShowAbove(owner);
        });
        return;
    }
    Place();
    show();
}

void FigureWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Here, between the window's creation and its mapping: set earlier, a
    // window without a parent widget loses it again.
    if (owner_ != nullptr && owner_->windowHandle() != nullptr && windowHandle() != nullptr)
        windowHandle()->setTransientParent(owner_->windowHandle());
    // The window was placed with a guess at its frame, and the owner's,
    // which the window manager may not have framed yet either: once both
    // are, the program's own place is worked out again (the borders of the
    // two windows overlapped), and a title bar or border past the screen's
    // edge is brought back.
    // Until then, the window manager's own moves are no operator's.
    settling_ = true;
    settlingWaits_ = 0;
    QTimer::singleShot(kFramedMs, this, [this] { EndSettling(); });
}

void FigureWindow::EndSettling() {
    if (!settling_) return;
    // On a busy machine the window manager frames the windows later: its
    // moves until then are still its own, so the wait goes on (a while at
    // most) until both this window and its owner have their frames.
    const auto framed = [](const QWidget* w) {
        return w == nullptr || !w->isVisible() || w->frameGeometry() != w->geometry();
    };
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    if (xcb && !(framed(this) && framed(owner_.data())) && ++settlingWaits_ < kFramingWaits) {
        QTimer::singleShot(kFramingWaitMs, this, [this] { EndSettling(); });
        return;
    }
    settling_ = false;
    if (placed_ && !movedByOperator_ && isVisible() && !isMinimized() && !isMaximized()) Place();
    KeepOnScreen();
}

void FigureWindow::hideEvent(QHideEvent* event) {
    if (placeTimer_->isActive()) WritePlace();
    QWidget::hideEvent(event);
}

void FigureWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    PlaceMaybeMoved();
}

void FigureWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceMaybeMoved();
}

void FigureWindow::PlaceMaybeMoved() {
    if (docked_ || !placed_ || placing_ || settling_ || !isVisible() || isMinimized() ||
        isMaximized())
        return;
    // A window manager framing the window at a fractional scale factor
    // shifts it by a pixel in rounding: that is still the program's place.
    const QRect now(pos(), size());
    if (std::abs(now.left() - putAt_.left()) <= kRoundingSlack &&
        std::abs(now.top() - putAt_.top()) <= kRoundingSlack &&
        std::abs(now.width() - putAt_.width()) <= kRoundingSlack &&
        std::abs(now.height() - putAt_.height()) <= kRoundingSlack)
        return;
    movedByOperator_ = true;
    placeTimer_->start();
}

void FigureWindow::WritePlace() {
    placeTimer_->stop();
    if (settings_ == nullptr || !movedByOperator_) return;
    const QString prefix = PlaceKeyPrefix();
    settings_->Write({{prefix + QStringLiteral("Left"), QString::number(pos().x())},
                      {prefix + QStringLiteral("Top"), QString::number(pos().y())},
                      {prefix + QStringLiteral("Width"), QString::number(width())},
                      {prefix + QStringLiteral("Height"), QString::number(height())}});
}

QMargins FigureWindow::FrameMargins() const {
    // Known once the window has had a frame; before that, the owner's is the
    // best guess for a window of the same desktop.
    const QWidget* framed = isVisible() || owner_ == nullptr ? this : owner_.data();
    const QRect frame = framed->frameGeometry();
    const QRect client = framed->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QScreen* FigureWindow::ScreenFor(const QRect& frame) const {
    if (QScreen* at = QGuiApplication::screenAt(frame.center())) return at;
    if (owner_ != nullptr && owner_->screen() != nullptr) return owner_->screen();
    return QGuiApplication::primaryScreen();
}

void FigureWindow::Place() {
    if (docked_) {
        Dock();
        return;
    }
    const QMargins frame = FrameMargins();
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    std::optional<SidePlace> place;
    if (settings_ != nullptr) {
        const QString prefix = PlaceKeyPrefix();
        bool ok[4] = {};
        const int left = settings_->Read(prefix + QStringLiteral("Left")).toInt(&ok[0]);
        const int top = settings_->Read(prefix + QStringLiteral("Top")).toInt(&ok[1]);
        const int width = settings_->Read(prefix + QStringLiteral("Width")).toInt(&ok[2]);
        const int height = settings_->Read(prefix + QStringLiteral("Height")).toInt(&ok[3]);
        if (ok[0] && ok[1] && ok[2] && ok[3] && width > 0 && height > 0)
            place = SidePlace{{left, top}, {width, height}};
    }
    const QRect ownerFrame = owner_ != nullptr ? owner_->frameGeometry() : QRect();
    QScreen* screen = place ? ScreenFor(place->Frame(frame)) : ScreenFor(ownerFrame);
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    if (place) {
        place = ::KeepOnScreen(*place, available, frame, least, ownerFrame);
    } else {
        const int ownerTitle =
            owner_ != nullptr ? owner_->geometry().top() - owner_->frameGeometry().top() : 0;
        place = PlaceBeside(available, ownerFrame, ownerTitle, frame, sizeHint().expandedTo(least),
                            least, CoverableRect());
    }
    placing_ = true;
    // Sized before it is placed: a window sized only when shown is placed by
    // its client area, and its title bar would leave the screen.
    resize(place->client);
    move(place->topLeft);
    // Shown already, at a fractional scale factor the widget may take the
    // place for its own and not pass it on: the window is told directly.
    if (isVisible() && windowHandle() != nullptr) windowHandle()->setFramePosition(place->topLeft);
    placing_ = false;
    putAt_ = QRect(place->topLeft, place->client);
    placed_ = true;
}

void FigureWindow::Dock() {
    if (owner_ == nullptr) return;
    if (parentWidget() != owner_) {
        setParent(owner_, Qt::Widget);
        // The keys stay with the owner's controls, as they do with the
        // window beside it: nothing in here takes the focus on a click.
        setFocusPolicy(Qt::NoFocus);
        for (QWidget* child : findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(true);
        // The main window deletes its children, but this window belongs to
        // whoever made it (the tablet library holds the pad): it leaves the
        // main window first, which says it is going before it deletes them.
        connect(owner_, &QObject::destroyed, this, [this] {
            hide();
            setParent(nullptr);
        });
    }
    const auto* part =
        qobject_cast<const QWidget*>(owner_->property(kCoverableProperty).value<QObject*>());
    const QRect room =
        part != nullptr ? QRect(part->mapTo(owner_, QPoint(0, 0)), part->size()) : owner_->rect();
    placing_ = true;
    setGeometry(DockedPlace(room, minimumSizeHint().expandedTo(minimumSize())));
    placing_ = false;
    raise();
    putAt_ = geometry();
    placed_ = true;
}

QRect FigureWindow::CoverableRect() const {
    if (owner_ == nullptr) return {};
    const auto* part =
        qobject_cast<const QWidget*>(owner_->property(kCoverableProperty).value<QObject*>());
    if (part == nullptr || !part->isVisible()) return {};
    return {part->mapToGlobal(QPoint(0, 0)), part->size()};
}

void FigureWindow::KeepOnScreen() {
    if (docked_ || !isVisible() || isMinimized() || isMaximized()) return;
    const QMargins frame = FrameMargins();
    const SidePlace now{pos(), size()};
    QScreen* screen = ScreenFor(now.Frame(frame));
    if (screen == nullptr) return;
    const SidePlace kept =
        ::KeepOnScreen(now, screen->availableGeometry(), frame,
                       minimumSizeHint().expandedTo(minimumSize()),
                       owner_ != nullptr ? owner_->frameGeometry() : QRect());
    if (kept.topLeft == now.topLeft && kept.client == now.client) return;
    placing_ = true;
    resize(kept.client);
    move(kept.topLeft);
    placing_ = false;
    putAt_ = QRect(kept.topLeft, kept.client);
}

bool FigureWindow::OwnerKey(QKeyEvent* event) {
    if (event->type() != QEvent::KeyPress || !IsUndoLastPointKey(*event)) return false;
    RequestUndo();
    return true;
}

bool FigureWindow::eventFilter(QObject* watched, QEvent* event) {
    // The owner framed by the window manager (its place known only now),
    // moved or resized: the program's own place beside it follows.
    if (watched == owner_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        placed_ && !movedByOperator_ && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            if (placed_ && !movedByOperator_ && isVisible() && !isMinimized() && !isMaximized())
                Place();
        });
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        owner_ != nullptr && isVisible()) {
        // Each key once, where it reaches the focused control of the owner,
        // and not while a dialog of the owner is open.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget == QApplication::focusWidget() &&
            widget->window() == owner_->window() && QApplication::activeModalWidget() == nullptr)
            return OwnerKey(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void FigureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace || event->matches(QKeySequence::Undo)) {
        RequestUndo();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F12) {
        if (endFigure_) endFigure_();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F7 || event->key() == Qt::Key_F8) {
        const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
        if (functionKey_) functionKey_(KeyCodeOf(event->key()), shift ? 1 : 0);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
