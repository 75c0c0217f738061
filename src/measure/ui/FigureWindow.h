#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "FigureDisplay.h"
#include "FigureView.h"

class QHBoxLayout;
class QPushButton;

// The window "計測中の図形" beside a real tablet: the figure being measured over
// the tablet's whole area, its status line, and the button "最後の点を取消".
// Backspace and Ctrl+Z in the window ask for the same undo; F12 there ends
// the figure as in the main window. Closing the window only hides it.
class FigureWindow : public QWidget, public FigureDisplay {
    Q_OBJECT
  public:
    // `area`: the tablet's axis minimum to maximum in counts; without it the
    // view grows to hold the points shown.
    explicit FigureWindow(std::optional<TabletArea> area = std::nullopt, QWidget* parent = nullptr);

    void ShowFigure(const Figure& figure) override;
    void OpenWindow() override;
    void SetRequests(std::function<void()> undoLastPoint, std::function<void()> endFigure) override;

    FigureView& View() { return *view_; }
    const FigureView& View() const { return *view_; }
    QPushButton& UndoButton() { return *undo_; }

    // Shows the window right of `owner` when it fits on the screen, else at
    // the screen's right edge, where it covers the least of the grid, and
    // keeps it above `owner` (which must be shown) from then on.
    void ShowAbove(QWidget* owner);

  protected:
    // The row of buttons under the view: a stretch, then "最後の点を取消".
    QHBoxLayout& ButtonRow() { return *buttons_; }
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void RequestUndo();

    FigureView* view_ = nullptr;
    QPushButton* undo_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QPointer<QWidget> owner_;
    std::function<void()> undoLastPoint_;
    std::function<void()> endFigure_;
};
