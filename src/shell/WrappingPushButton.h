#pragma once

#include <QPushButton>

// A plain button whose caption wraps onto several lines when it is wider
// than the button, as the design's tall buttons show it. A button whose
// caption is one name ("Wavファイルの指定") keeps it on one line instead, in a
// smaller font where the design's size is too narrow for it: a name broken
// in the middle reads as two words.
class WrappingPushButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

    void SetOneLine(bool oneLine) {
        oneLine_ = oneLine;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool oneLine_ = false;
};
