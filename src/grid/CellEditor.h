#pragma once

#include "grid/GridView.h"

#include <QString>

// The single-line text box laid over a grid cell while it is edited.
class CellEditor {
public:
    virtual ~CellEditor() = default;

    virtual QString Text() const = 0;
    // Sets the text as it stands, without filtering.
    virtual void SetText(const QString& text) = 0;
    // Caret position; a value beyond the end puts the caret at the end.
    virtual void SetSelStart(int position) = 0;
    virtual void SetSelLength(int length) = 0;

    // Position and size relative to the window, twips.
    virtual void Move(const TwipRect& rect) = 0;

    virtual void Show() = 0;
    // Hiding the editor while it holds the focus makes it lose the focus,
    // which commits the edit (the owner's business, exactly once).
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetFocus() = 0;
};
