#pragma once

#include <QLineEdit>

#include "grid/FilterKey.h"

// A single-line text box whose typed characters pass the number-entry key
// filter of the given kind. Text that arrives any other way (paste by
// keyboard, context menu or middle button, drop, input method) passes the
// same filter character by character, so that nothing the filter drops can
// reach a cell or a number box. Text set from code is taken as it stands.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FilteredLineEdit(FilterKind kind, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Filters a typed key press; returns false when the key was dropped.
    bool PassTypedKey(QKeyEvent* event);
    void InsertFiltered(const QString& text);

private:
    FilterKind kind_;
};
