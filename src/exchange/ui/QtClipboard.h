#pragma once

#include "exchange/Clipboard.h"

// The system clipboard through Qt.
class QtClipboard : public Clipboard {
public:
    void Clear() override;
    void SetText(const QString& text) override;
    bool HasText() const override;
    QString Text() const override;
};
