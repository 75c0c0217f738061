#include "grid/ui/CellEditorBox.h"

#include "grid/Mei.h"
#include "grid/ui/MeiGridView.h"
#include "grid/Twips.h"

#include <QFocusEvent>
#include <QKeyEvent>

CellEditorBox::CellEditorBox(QWidget* parent) : FilteredLineEdit(FilterKind::Number, parent) {
    setFrame(false);
}

void CellEditorBox::SetSelStart(int position) {
    setCursorPosition(std::min(position, static_cast<int>(text().size())));
}

void CellEditorBox::SetSelLength(int length) {
    if (length <= 0) {
        deselect();
        return;
    }
    setSelection(cursorPosition(), length);
}

void CellEditorBox::Move(const TwipRect& rect) {
    const double dpi = logicalDpiY();
    setGeometry(TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
                TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi));
}

void CellEditorBox::Show() {
    open_ = true;
    show();
    raise();
}

void CellEditorBox::keyPressEvent(QKeyEvent* event) {
    const int keyCode = VirtualKeyCode(*event);
    emit keyDown(keyCode, ShiftState(event->modifiers()));
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Up:
        case Qt::Key_Down:
            // Handled as key downs; their characters are dropped.
            event->accept();
            return;
        default:
            FilteredLineEdit::keyPressEvent(event);
    }
}

void CellEditorBox::ReportLoss() {
    if (!open_) return;
    open_ = false;
    emit lostFocus();
}

void CellEditorBox::focusOutEvent(QFocusEvent* event) {
    FilteredLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    ReportLoss();
}

void CellEditorBox::hideEvent(QHideEvent* event) {
    // Hiding the editor while it holds the focus must commit even where the
    // platform moves the focus without telling the hidden box.
    const bool hadFocus = hasFocus();
    FilteredLineEdit::hideEvent(event);
    if (hadFocus) ReportLoss();
}
