#include "FigureWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

FigureWindow::FigureWindow(std::optional<TabletArea> area, QWidget* parent)
    // A tool window: kept above the program's main window, as a palette is.
    : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmFigure"));
    setWindowTitle(QStringLiteral("計測中の図形"));
    // A side window: the program ends when the main window closes, whether
    // or not this one is still open.
    setAttribute(Qt::WA_QuitOnClose, false);

    view_ = new FigureView(this);
    view_->setObjectName(QStringLiteral("picFigure"));
    if (area && !area->IsEmpty()) view_->SetArea(*area);

    undo_ = new QPushButton(QStringLiteral("最後の点を取消"), this);
    undo_->setObjectName(QStringLiteral("cmdUndo"));
    // The keyboard stays with the view, where Backspace and Ctrl+Z work.
    undo_->setFocusPolicy(Qt::NoFocus);
    connect(undo_, &QPushButton::clicked, this, [this] { RequestUndo(); });

    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);
    buttons_->addWidget(undo_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons_);
    view_->setFocus(Qt::OtherFocusReason);
}

void FigureWindow::ShowFigure(const Figure& figure) { view_->SetFigure(figure); }

void FigureWindow::OpenWindow() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void FigureWindow::SetRequests(std::function<void()> undoLastPoint,
                               std::function<void()> endFigure) {
    undoLastPoint_ = std::move(undoLastPoint);
    endFigure_ = std::move(endFigure);
}

void FigureWindow::RequestUndo() {
    if (undoLastPoint_) undoLastPoint_();
}

void FigureWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Here, between the window's creation and its mapping: set earlier, a
    // window without a parent widget loses it again.
    if (owner_ != nullptr && owner_->windowHandle() != nullptr && windowHandle() != nullptr)
        windowHandle()->setTransientParent(owner_->windowHandle());
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
    QWidget::keyPressEvent(event);
}

void FigureWindow::ShowAbove(QWidget* owner) {
    QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
    if (screen != nullptr) {
        const QRect available = screen->availableGeometry();
        const QSize size = sizeHint().expandedTo(minimumSizeHint());
        int x = available.right() + 1 - size.width();
        if (owner != nullptr) {
            const int besideX = owner->frameGeometry().right() + 1;
            if (besideX + size.width() <= available.right() + 1) x = besideX;
        }
        // Sized before it is placed: a window sized only when shown is
        // placed by its client area, and its title bar would leave the
        // screen.
        resize(size);
        move(std::max(x, available.left()), available.top());
    }
    // The main window keeps the keyboard at start-up.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    owner_ = owner;
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}
