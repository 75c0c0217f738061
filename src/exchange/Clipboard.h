#pragma once

#include <QString>

// The system clipboard, as the copy and paste commands use it.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual void Clear() = 0;
    // Puts the text on the clipboard as plain text, replacing everything.
    virtual void SetText(const QString& text) = 0;
    virtual bool HasText() const = 0;
    virtual QString Text() const = 0;
};
