#include "grid/ui/FilteredLineEdit.h"

#include "grid/FilterKey.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

FilteredLineEdit::FilteredLineEdit(FilterKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {}

bool FilteredLineEdit::PassTypedKey(QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) return true;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return true;
    return FilterKey(CharCode(text.at(0)), kind_) != 0;
}

void FilteredLineEdit::InsertFiltered(const QString& text) { insert(FilterText(text, kind_)); }

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste) {
        InsertFiltered(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (!PassTypedKey(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString filtered = FilterText(commit, kind_);
    if (filtered == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(filtered, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            disconnect(action, nullptr, nullptr, nullptr);
            connect(action, &QAction::triggered, this,
                    [this] { InsertFiltered(QGuiApplication::clipboard()->text()); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        InsertFiltered(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FilteredLineEdit::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasText()) {
        InsertFiltered(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}
