#pragma once

#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "measure/FigureDisplay.h"
#include "measure/ui/FigureView.h"
#include "measure/ui/SideWindowSettings.h"

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QScreen;
class QTimer;

// The window "計測中の図形" beside a real tablet: the figure being measured over
// the tablet's whole area, its status line, and the button "最後の点を取消".
//
// The window never takes the keyboard: the operator measures with the pen
// and goes on using the main window's keys (Enter, DEL and BS on the grid,
// F12) without clicking back into it. Ctrl+BackSpace pressed in the main
// window asks for the undo of the last point; where a platform gives this
// window the keyboard all the same, Backspace, Ctrl+Z and Ctrl+BackSpace
// there ask for it, and F12 ends the figure as in the main window. Closing
// the window only hides it.
//
// It opens beside the main window, or where the operator last put it, kept
// in the settings under keys named after `PlaceKeyPrefix()` ("FigureLeft",
// "FigureTop", "FigureWidth", "FigureHeight": the frame's top-left corner
// and the client area's size, in the screen's logical pixels); those keys are
// written only once the operator has moved or resized it. A change of
// screens brings it back inside the screen it is on.
class FigureWindow : public QWidget, public FigureDisplay {
    Q_OBJECT
  public:
    // `area`: the tablet's axis minimum to maximum in counts; without it the
    // view grows to hold the points shown.
    explicit FigureWindow(std::optional<TabletArea> area = std::nullopt, QWidget* parent = nullptr);
    ~FigureWindow() override;

    void ShowFigure(const Figure& figure) override;
    void OpenWindow() override;
    void SetRequests(std::function<void()> undoLastPoint, std::function<void()> endFigure) override;
    // Beside a tablet: the figures measured on a tablet whose cells are
    // selected, so that one value's outline can be checked.
    void ShowMarks(std::vector<FigureMark> marks) override;
    void SetFunctionRequests(std::function<void(int keyCode, int shift)> functionKey) override;

    // The window manager has framed the window since it was shown: a move
    // from now on is the operator's, and its place is kept.
    bool Settled() const { return !settling_; }

    FigureView& View() { return *view_; }
    const FigureView& View() const { return *view_; }
    QPushButton& UndoButton() { return *undo_; }
    // "合算": ticked while a sum is on; a click asks for F8.
    QCheckBox& SumBox() { return *sum_; }

    // The main window: the window opens beside it and is kept above it, and
    // takes its own keys from it; where the screen has no room beside it,
    // the window covers only the part the owner names in its property
    // kCoverableProperty. Must be shown before this window is.
    void SetOwner(QWidget* owner);
    // Where the window's place is kept; none keeps nothing. Not owned.
    virtual void SetSettings(SideWindowSettings* settings);
    // Shows the window without taking the keyboard, beside `owner` (see
    // SetOwner) or where it was left.
    void ShowAbove(QWidget* owner);
    // Where the program cannot place its windows (ProgramPlacesWindows is
    // false): the window is shown inside its owner instead, over the right
    // part of what the owner lets it cover, so that it can never cover the
    // owner's controls. It then has no title bar of its own, and no place is
    // kept. Set before the window is shown.
    void SetDocked(bool docked) { docked_ = docked; }
    bool Docked() const { return docked_; }

  protected:
    // The row of buttons under the view: a stretch, then "最後の点を取消".
    QHBoxLayout& ButtonRow() { return *buttons_; }
    // Where the window keeps what it must find again; null for nowhere.
    SideWindowSettings* Settings() const { return settings_; }
    // The first word of the keys the window's place is kept under.
    virtual QString PlaceKeyPrefix() const { return QStringLiteral("Figure"); }
    // A key pressed or released in the owner while this window is shown;
    // true when it was this window's and goes no further.
    virtual bool OwnerKey(QKeyEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void RequestUndo();
    // Puts the window where it opens: the kept place, else beside the owner
    // (or, docked, inside it).
    void Place();
    void Dock();
    // Back inside the screen it is on, after the screens changed.
    void KeepOnScreen();
    // The place now, if it is not where the window was put.
    void PlaceMaybeMoved();
    // Ends the moments after showing when moves are the window manager's.
    void EndSettling();
    void WritePlace();
    QMargins FrameMargins() const;
    QScreen* ScreenFor(const QRect& frame) const;
    // The part of the owner this window may cover, in screen pixels (see
    // kCoverableProperty); empty when the owner names none.
    QRect CoverableRect() const;

    FigureView* view_ = nullptr;
    QPushButton* undo_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
    QPointer<QWidget> owner_;
    std::function<void()> undoLastPoint_;
    std::function<void()> endFigure_;
    std::function<void(int, int)> functionKey_;
    QCheckBox* sum_ = nullptr;

    SideWindowSettings* settings_ = nullptr;
    QTimer* placeTimer_ = nullptr;
    bool placed_ = false;
    bool placing_ = false;
    // Where the window was put (frame top-left, client size), and whether
    // the operator has since put it elsewhere.
    QRect putAt_;
    bool movedByOperator_ = false;
    int framingWaits_ = 0;
    int settlingWaits_ = 0;
    // Just shown: the window manager is still framing and moving it.
    bool settling_ = false;
    bool docked_ = false;
};
