#pragma once

#include <QPushButton>

// A plain button whose caption wraps onto several lines when it is wider
// than the button, as the design's tall buttons show it.
class WrappingPushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
