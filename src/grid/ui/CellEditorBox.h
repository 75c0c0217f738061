#pragma once

#include "grid/CellEditor.h"
#include "grid/ui/FilteredLineEdit.h"

// The cell editor txtForEdit. It reports its key downs to the window, drops
// the Enter and Esc characters, filters the rest for number entry, and
// reports the loss of the focus exactly once per opening: the window commits
// then. Switching to another application or opening the context menu is not
// a loss of focus.
class CellEditorBox : public FilteredLineEdit, public CellEditor {
    Q_OBJECT
public:
    explicit CellEditorBox(QWidget* parent = nullptr);

    // CellEditor
    QString Text() const override { return text(); }
    void SetText(const QString& text) override { setText(text); }
    void SetSelStart(int position) override;
    void SetSelLength(int length) override;
    void Move(const TwipRect& rect) override;
    void Show() override;
    void Hide() override { hide(); }
    bool IsVisible() const override { return isVisible(); }
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }

    // Whether an opening is waiting for its commit.
    bool IsOpen() const { return open_; }

signals:
    void keyDown(int keyCode, int shift);
    void lostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ReportLoss();

    bool open_ = false;
};
