#pragma once

#include <QEvent>
#include <QHash>
#include <QPoint>
#include <QPointF>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "drawing/DrawingFile.h"
#include "drawing/DrawingHelper.h"
#include "pad/DrawingMemory.h"
#include "measure/ui/FigureWindow.h"
#include "pad/PadDrawing.h"
#include "tablet/PenTracker.h"

class DrawingOpening;
class PadDialogs;
class SideWindowSettings;
class QCheckBox;
class QLabel;
class QPushButton;

// The on-screen pad "仮想タブレット": the figure window's view and undo button,
// and a drawing surface that acts as the tablet. On the surface the left
// mouse button (or a pen's tip, through Qt's tablet events) is the pen's tip:
// press = tip down, drag = movement, release = tip up; the right button (or a
// pen's barrel button) is the side switch. Each such event becomes one
// PenFrame for `onFrame`; the mode rules are the tracker's.
//
// Blank, counts are millimetres on the screen times 80, from the screen's
// physical resolution: with the default scale ("10" and "800") a line drawn
// 10 mm long on the screen measures 10.
//
// With a drawing open ("図面を開く…", Ctrl+O, or a file dropped on the pad),
// counts are millimetres of the drawing's paper times 80, counted from the
// page's top-left corner, whatever the zoom: a line 10 mm long on the paper
// measures 10. The wheel (with or without Ctrl) zooms about the pointer,
// Ctrl + + / − / 0 zoom about the centre (0: the paper's own size), the
// middle button or Space with the left button drag the page along, and
// "全体表示" fits the page; none of these is a pen event. Like the figure
// window, the pad never takes the keyboard: its keys work from the main
// window.
class PadWindow : public FigureWindow {
    Q_OBJECT
  public:
    // Counts per millimetre on the pad: 800 counts are 10 mm, as the
    // default scale says.
    static constexpr double kCountsPerMillimetre = 80.0;
    // The resolution offered for an image that carries none, dots per inch.
    static constexpr int kProposedDpi = 300;

    explicit PadWindow(QWidget* parent = nullptr);
    ~PadWindow() override;

    // Where each input event goes, reduced to the pen's state.
    std::function<void(const PenFrame&)> onFrame;
    // The button "図形の書き出し…" was pressed.
    std::function<void()> onExportFigures;

    // Tablet counts per screen pixel along one axis at `physicalDpi` (dots
    // per inch of the screen as built); a resolution no screen has (0, not a
    // number, an unknown size) falls back to `fallbackDpi`, then to 96.
    static double CountsPerPixel(double physicalDpi, double fallbackDpi);
    // The pad's counts at a position on its surface, in widget pixels of
    // the view.
    FigurePoint CountsAt(const QPointF& viewPosition) const;

    // The blank pad, or the drawing open on it.
    FigureOrigin Origin() const override;
    // The kept figures measured on what the pad shows now (the blank pad,
    // or the open drawing's page), unless "計測した図形を表示" is off; a
    // newly selected cell's figure is scrolled into view, never zoomed.
    void ShowMarks(std::vector<FigureMark> marks) override;
    void SetMarkRequest(std::function<bool(int row, int col)> markClicked) override;
    bool TakesPen() const override { return true; }
    double CountsPerMm() const override { return kCountsPerMillimetre; }

    // The boxes the pad shows (Qt's dialogs unless replaced; not owned).
    void SetDialogs(PadDialogs* dialogs);
    // Where the drawing is kept for the next start; none keeps nothing.
    // Not owned.
    void SetSettings(SideWindowSettings* settings) override;

    // Opens a drawing file, asking for the page of a document of several
    // and for the resolution of an image without one. It is read by the
    // helper meanwhile: the pad says so, and the pad and the main window go
    // on; closing the drawing, opening another or closing the pad cancels
    // it. A file that cannot be opened is told in one notice and leaves the
    // pad as it was.
    void OpenDrawing(const QString& path);
    // The open dialog, then OpenDrawing.
    void ChooseDrawing();
    // Back to the blank pad, cancelling an opening under way.
    void CloseDrawing();
    // Reopens the drawing the settings keep, where it was, as OpenDrawing
    // does; one notice when it cannot be, and the pad stays blank.
    void RestoreDrawing();
    // A drawing is being opened.
    bool Opening() const { return opening_ != nullptr; }

    // The helper that reads drawings for the pad, started at the first
    // drawing (tests set its limits).
    DrawingHelper& Helper();
    // Another helper from now on, the drawing shown closed (tests give one
    // that misbehaves).
    void UseHelper(std::unique_ptr<DrawingHelper> helper);

    // The drawing open; null while the pad is blank.
    const PadDrawing* Drawing() const { return drawing_.get(); }
    void FitDrawing();
    // Zooms by `factor`, keeping the paper under `viewPosition` in place.
    void ZoomDrawing(double factor, const QPointF& viewPosition);
    void PanDrawing(const QPoint& pixels);

    // The open dialog's filter; a format this build cannot read is named
    // as such.
    static QString OpenFilter();

  protected:
    QString PlaceKeyPrefix() const override { return QStringLiteral("Pad"); }
    // Ctrl+O, the zoom keys and Space for a drag work from the main window
    // too, where the keyboard stays while the operator picks on the pad.
    bool OwnerKey(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // A press on a kept figure that the main window takes (no run collects
    // points): its cell is selected, and the press and its release are no
    // pen's. True when the event is taken.
    bool TakeMarkClick(QEvent::Type type, const QPointF& viewPosition, bool leftDown);
    // The marks for what the pad shows now, when that or the marks changed.
    void ApplyMarks(bool scrollToChosen);
    // The pad's own keys, pressed or released; true when taken.
    bool PadKey(QKeyEvent* event);
    // Takes the scale from the screen the pad is on now.
    void UpdateScale();
    void SendFrame(const QPointF& viewPosition, bool tip, bool side);
    // Mouse events that move the page instead of the pen; true when taken.
    bool Pan(QMouseEvent* event);
    // The opening from now on, the one before cancelled.
    void StartOpening(std::unique_ptr<DrawingOpening> opening);
    // Cancels the opening under way.
    void EndOpening();
    // The pad's line under its buttons: the opening under way, else what
    // is said of the drawing shown.
    void UpdateNote();
    // Puts an opened page on the pad; `placed` shows it at a kept zoom and
    // centre, else fitted.
    void ShowDrawing(const DrawingHelper::Page& page, const PadDrawing::Source& source,
                     const std::optional<DrawingMemory::State>& placed);
    // The drawing shown `shown`-th crashed or ran out of time or memory:
    // said once, and the drawing is not opened at the next start.
    void DrawingFailed(std::uint64_t shown, DrawingHelper::Failure failure);
    // Keeps the drawing for the next start, once it has rendered.
    void Remember(bool now);
    // The view's mapping, the title and the buttons after the drawing, its
    // zoom or its place changed; kept in the settings at once when
    // `rememberNow` (a drawing opened), else after a pause.
    void DrawingMoved(bool rememberNow);
    void UpdateTitle();
    // Widget pixels per millimetre of the screen, as the blank pad counts.
    double ScreenPixelsPerMm() const;
    QSize SurfaceSize() const;

    bool tip_ = false;
    bool side_ = false;
    bool sentAny_ = false;
    FigurePoint last_;

    std::unique_ptr<PadDialogs> ownDialogs_;
    PadDialogs* dialogs_ = nullptr;
    std::optional<DrawingMemory> memory_;
    std::unique_ptr<DrawingHelper> helper_;
    std::unique_ptr<PadDrawing> drawing_;
    // Goes before the helper it calls.
    std::unique_ptr<DrawingOpening> opening_;
    // What the pad says of the drawing shown (a part it could not read, a
    // path the settings cannot keep).
    QString drawingNotes_;
    // Counts the drawings shown, so that a failure told late is of the
    // drawing it was heard for.
    std::uint64_t drawingsShown_ = 0;
    // Resolutions given this run for images without their own, by file.
    QHash<QString, int> givenDpi_;
    QString lastFolder_;

    QPushButton* open_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* fit_ = nullptr;
    QLabel* zoom_ = nullptr;
    QCheckBox* showMarks_ = nullptr;

    std::vector<FigureMark> marks_;
    std::optional<FigureOrigin> marksOrigin_;
    std::function<bool(int, int)> markClicked_;
    bool markPress_ = false;
    QLabel* note_ = nullptr;

    // Space is held; the page is being dragged, from this pointer position.
    bool spaceHeld_ = false;
    std::optional<QPoint> panFrom_;
};
