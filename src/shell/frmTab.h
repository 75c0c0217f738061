#pragma once

#include <QSizeF>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "exchange/Clipboard.h"
#include "figures/FigureKeeper.h"
#include "shell/Autosave.h"
#include "shell/Common.h"
#include "shell/Dialogs.h"
#include "shell/Edition.h"
#include "shell/FigureExportCommand.h"
#include "measure/FigureDisplay.h"
#include "grid/GridModel.h"
#include "grid/GridUndoLog.h"
#include "grid/SelectionTotals.h"
#include "measure/MeasureEngine.h"
#include "shell/ScaleMemory.h"
#include "tablet/PadLink.h"
#include "shell/SoundPlayer.h"
#include "tablet/TabletWndProc.h"

class CellEditorBox;
class FilteredLineEdit;
class MeiGridView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class ReceivedPointList;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class TabControl;
class TextBuffer;

// What the composition root hands the window: the outside world, each behind
// a small interface so that tests can drive every handler.
struct frmTabServices {
    PadLink* tablet = nullptr;
    SoundPlayer* sound = nullptr;
    Dialogs* dialogs = nullptr;
    Clipboard* clipboard = nullptr;
    // Where the settings file, the autosave file and the run marker live.
    QString dataDirectory;
    // The executable's directory (made the current directory at start-up)
    // and its file name without extension (names the settings file).
    QString executableDirectory;
    QString executableBaseName;
    // Another copy of the same executable is already running.
    bool previousInstance = false;
    // Set when the tablet library could not be loaded: told to the operator,
    // then the program goes on without a tablet.
    QString tabletLoadError;
    // The tablet's resolution as one line of text, where the device reports
    // it; shown on the scale page.
    QString tabletResolution;
    // Counts per millimetre the tablet delivers (the on-screen pad's 80), for
    // a scale set from a drawing's ratio; 0 when not known.
    double tabletCountsPerMm = 0.0;
    // Told once, after the window first shows (where the files went).
    QString startupNotice;
    // The window that shows the figure being measured (the on-screen pad,
    // or the figure window beside a real tablet); none when null.
    FigureDisplay* figure = nullptr;
    // The tablet's name, kept with the figures measured on it.
    QString tabletName;
    // The size in millimetres of a drawing's page (file, page from 1), where
    // the pad knows it: an SVG export then has the page's size.
    std::function<std::optional<QSizeF>(const QString& file, int page)> pageSizeMm;
};

// The main window: the detail grid above, the tab control with every button
// and setting below. Its handlers are thin: the measurement state lives in
// MeasureEngine, the grid in GridModel, the files in the exchange core, the
// autosave and run marker in Autosave, the drawing's scale in ScaleMemory.
// Its definitions are split by job, frmTab.cpp (start-up, shut-down, events
// and the wiring) calling on the others and none of them back.
class frmTab : public QWidget, private MeasureHost {
    Q_OBJECT
  public:
    frmTab(const Edition& edition, const frmTabServices& services, QWidget* parent = nullptr);
    ~frmTab() override;

    // Start-up, before the window is first shown. Returns false when the
    // window must be unloaded at once (another copy is running).
    bool Form_Load();

    // Handlers of the window's own events.
    void Form_Resize();
    void Form_KeyDown(int keyCode, int shift);
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload();
    void GetWintab(std::int32_t wParam, std::int32_t lParam);

    // Button and control handlers.
    void cmdMes_Click(int index);
    void optMes_Click(int index);
    void cmdScale_Click();
    void cmdNextLine_Click();
    void msgMei_KeyPress(int code, const QString& typed);
    void msgMei_KeyDown(int keyCode, int shift);
    void msgMei_Scroll();
    void txtForEdit_KeyDown(int keyCode, int shift);
    void txtForEdit_LostFocus();
    void txtInput_Change(int index);
    // A grid size typed into txtInput(1) or txtInput(2) is taken when the
    // operator presses Enter or leaves the box: the grid keeps every value
    // that fits, and asks before dropping the others.
    void GridSizeEntered(int index);
    void cmdWidth_Click();
    void cmdSave_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdClr_Click();
    void cmdExit_Click();
    void cmdWav_Click();

    // Operations of the window that other handlers and the start-up use.
    void PutValue(double value, bool advance) override;
    void LayoutGrid();
    void ClearGrid();
    void CopyToClipboard();
    // Ctrl+C on the grid: the selected cells (the cursor's cell when no more
    // are selected) as the same tab-separated text, without a notice.
    void CopySelection();
    void ParseIntoGrid(const QString& separator);
    void LoadAutosave(const QString& path);
    bool WriteCsv(const QString& path);
    // "ﾌｧｲﾙ保存": the save dialog, then the file and the notice; true when
    // the file was written.
    bool SaveAs();
    // The grid holds values changed since they were last saved with
    // "ﾌｧｲﾙ保存" or copied with "コピー".
    bool HasUnsavedValues() const;

    // Takes back the operator's last change to the cells (a measured value, a
    // hand edit, a paste, a clear), or does it again. False when there was
    // nothing to take back or to do again.
    bool Undo();
    bool Redo();
    // Opens the cell editor on the current cell's text, caret at its end
    // (F2, a double click).
    void EditCurrentCell();
    // F9 and Shift+F9: the total (or the mean) of the selected cells' values
    // goes into the first free cell after the selection in the fill
    // direction (SelectionTotals::Next), as a put value, in one step of undo.
    void PutSelectionTotal(bool mean);
    // The figure display: the figure is pushed shortly after each change of
    // the point store, the mode or the scale, once for any number of changes
    // in between; RefreshFigure pushes it at once.
    void RefreshFigure();
    // F11: opens the figure display again, or brings it to the front.
    void OpenFigureWindow();
    // The display's undo request: drops the last point of the figure.
    void UndoLastPoint();
    // F7 (arcs), F8 and Shift+F8 (the sum), from the main window or the
    // figure display; shift 1 is Shift.
    void FunctionKey(int keyCode, int shift);
    // Before a stop or Esc drops a sum that holds figures: asks, and drops
    // it on Yes. True when no figure is held any more.
    bool ConfirmDropSum();
    // "図形の書き出し…" (the button on "その他の設定", and the pad's): the kept
    // figures as SVG, DXF or a PDF report.
    void ExportFigures();

    // The pen belongs to the measurement while a run or the calibration
    // collects points and this program is the active one (and the operator
    // has not turned that off): then no tap also works the desktop. Called
    // whenever one of these changes; `active` is the application's state.
    void ApplicationActivated(bool active);
    void UpdatePenHold();
    // What the tablet library tells of the tablet itself.
    void TabletNoticed(const TabletNotice& notice);
    // The line the figure display shows after its status; empty for none.
    const QString& TabletNoticeText() const { return tabletNotice_; }

    // State, for the composition root and tests.
    MeasureEngine& Engine() { return engine_; }
    GridModel& Grid() { return grid_; }
    const QString& WavFile() const { return sWavFile; }
    QString AutosavePath() const { return autosave_.Path(); }
    // The figures of the measured values, beside the autosave.
    QString FiguresPath() const { return autosave_.FiguresPath(); }
    QString SettingsPath() const { return settings_.Path(); }
    bool Unloaded() const { return unloaded_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // MeasureHost
    QString ReferenceLengthText() const override;
    QString TabletCountsText() const override;
    double VerticalFactor() const override { return scale_.VerticalFactor(); }
    double AreaFactor() const override;
    QString LengthUnit() const override;
    QString AreaUnit() const override;
    void SetVerticalFactor(double factor) override;
    void VerticalCalibrationFailed() override;
    int SelectedMeasurement() const override;
    int TwoPointAxis() const override;
    QString TwoPointAxisText() const override;
    bool NextPointIsOrigin() const override;
    void SetNextPointIsOrigin(bool ticked) override;
    bool InvertX() const override;
    bool InvertY() const override;
    void MeasuredFrom(const PointStore& points) override;
    void SummedFrom(const PointStore& points, std::size_t index, bool minus) override;
    void MeasuredSum() override;
    void BeginValue() override { undo_.Begin(); }
    void EndValue() override {
        figures_.Done();
        undo_.End();
    }
    void MoveCursor(int dCol, int dRow, int step) override;
    void FocusGrid() override;
    void SetStartEnabled(bool enabled) override;
    void SetGuidance(const QString& text) override;
    void SetOriginBoxVisible(bool visible) override;
    void SetCalibrationNoticeVisible(bool visible) override;
    void SetTabletCountsText(const QString& text) override;
    void ListReceivedPoint(std::int32_t logX, std::int32_t logY) override;
    void PlayCaptureSound() override;
    int RepeatCount() const override;

    void BuildControls();
    void BuildPageStandard(QWidget* page);
    void BuildPageScale(QWidget* page);
    // The scale from a drawing's ratio: the buttons "縮尺から設定…" and
    // "縦の長さの自動計測" and the line that warns of a vertical factor, in
    // the scale page's free space.
    void BuildDrawingScale(QWidget* page);
    void cmdScaleRatio_Click();
    void cmdScaleVertical_Click();
    void UpdateVerticalLine();
    void BuildPageOther(QWidget* page);
    // "同じ図形を測る回数", in the page's free space; read and written
    // beside the other settings, kept only once it differs from 1.
    void BuildRepeatCount(QWidget* page);
    void RestoreRepeatCount();
    void WriteRepeatCountSetting();
    // One of the four number boxes txtInput, with its design text.
    FilteredLineEdit* NumberBox(int index, QWidget* container);
    void SetFocusOrder();
    void ConnectHandlers();
    // The line with the totals of the selection, kept up to date.
    void BuildSelectionLine();
    void ShowSelectionTotals();
    void ConnectSettingsWrites();
    // The design's place and size where the screen has room; else as large
    // as the screen's free area allows.
    void PlaceOnScreen();
    void RestoreSettings();
    void SaveSettings();
    // The settings the operator sets in the controls (every key but the
    // window's state and placement), in one write of the file.
    void WriteControlSettings();
    // A setting changed: it is written after a short pause (the operator
    // may still be typing), so that a crash costs no setting of the session.
    void SettingsChanged();
    int ReadIndexSetting(const QString& key, int defaultValue, int lowest, int highest);
    bool FillsDown() const;
    // Gives the grid rows x cols (headers included), within its limits,
    // showing the new size in the size boxes; keeps every cell that fits.
    void ResizeGridTo(int rows, int cols);
    void AdvanceInFillDirection();
    // The grid's values into the autosave file, after each change of them.
    void WriteAutosave();
    // Before the exit question: unsaved values are offered a file. False
    // when the operator stays (cancelled, or the save failed).
    bool ConfirmUnsavedValues();
    // Where the save dialog opens, and where the sound dialog does when the
    // current sound file is gone.
    QString SaveFolder() const;
    static QString SystemSoundsFolder();
    // One of the program's own files is not what it must be (a link, not a
    // regular file, too large): told once when the window is up.
    void OwnFileProblem(const QString& path, const QString& why);
    void ConnectFigure();
    void DisconnectFigure();
    // What a measurement's figure is kept with besides its points.
    FigureKeeper::Context FigureContext() const;
    // The kept figures pushed to the figure display, with the selected
    // cells' ones standing out, whenever they or the selection change; a
    // click on one there selects its cell.
    void ConnectMarks();
    // The button "図形の書き出し…" in the page's free space, and its command.
    void BuildFigureExport(QWidget* page);
    void MarksMaybeChanged();
    void PushMarks();
    void FigureChanged();
    // How long a tablet notice stays in the figure display.
    enum class NoticeLasts { UntilNextPoint, UntilTabletBack, UntilRunEnds, ForGood };
    void SetTabletNotice(const QString& text, NoticeLasts lasts);
    // The title as start-up built it, then what is wrong: the tablet, the
    // autosave.
    void UpdateTitle();
    // The grab setting: written only once it differs from its default or
    // is in the file already, so that a file the operator never changed it
    // in keeps the keys it always had.
    void WritePenGrabSetting();
    int DpiX() const { return logicalDpiX(); }
    int DpiY() const { return logicalDpiY(); }

    Edition edition_;
    frmTabServices services_;
    PadLink& tablet_;
    SoundPlayer& MMControl1;
    Dialogs& CommonDialog1;
    Clipboard& clipboard_;
    Common settings_;

    GridModel grid_;
    GridUndoLog undo_;
    FigureKeeper figures_;
    Autosave autosave_;
    ScaleMemory scale_;
    SelectionTotals selectionTotals_{grid_};
    MeasureEngine engine_;
    TabletWndProc wndProc_;
    QString sWavFile;
    // The folder last saved to with "ﾌｧｲﾙ保存" (a setting beyond the design).
    QString sSaveFolder;
    // The grid's change count when its values were last saved or copied.
    std::uint64_t savedChanges_ = 0;

    // Controls, by their names. Absent controls of the reduced edition stay
    // null; Label2(2) never exists.
    MeiGridView* msgMei = nullptr;
    TabControl* sstMenu = nullptr;
    CellEditorBox* txtForEdit = nullptr;
    TextBuffer* txtClip = nullptr;
    QListView* lstGetData = nullptr;
    ReceivedPointList* receivedPoints_ = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 6> optMes{};
    QLabel* lblMesHelp = nullptr;
    std::array<QToolButton*, 2> cmdMes{};
    QToolButton* cmdNextLine = nullptr;
    QToolButton* cmdPaste = nullptr;
    QToolButton* cmdCopy = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* cmdClr = nullptr;
    QToolButton* cmdExit = nullptr;
    QLabel* lblHelp = nullptr;
    QCheckBox* chkOrgPos = nullptr;
    std::array<QLabel*, 5> Label2{};
    std::array<QLabel*, 4> Label1{};
    std::array<FilteredLineEdit*, 4> txtInput{};
    QPushButton* cmdScale = nullptr;
    std::array<QLabel*, 1> lblMsg{};
    // Beyond the design: the tablet's resolution, on the scale page, and
    // whether the pen belongs to the measurement while it runs.
    QLabel* lblResolution = nullptr;
    QCheckBox* chkPenGrab = nullptr;
    // Beyond the design: shows the pad or the figure window (as F11 does).
    QPushButton* cmdShowFigure = nullptr;
    QPushButton* cmdScaleRatio = nullptr;
    QPushButton* cmdScaleVertical = nullptr;
    QLabel* lblVertical = nullptr;
    // Beyond the design: the count, total and mean of the selected cells.
    QLabel* lblSelection = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 2> optInput{};
    std::array<QGroupBox*, 2> Frame5{};
    QComboBox* cmbSyosu = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QCheckBox*, 2> chkZahyo{};
    QComboBox* cmdWidth = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdWav = nullptr;
    QGroupBox* Frame6 = nullptr;
    QComboBox* cmbNiten = nullptr;
    // Beyond the design: how many times each figure is measured for a mean.
    QLabel* lblKaisu = nullptr;
    QComboBox* cmbKaisu = nullptr;
    // Beyond the design: writes the kept figures out.
    QPushButton* cmdExportFigures = nullptr;
    std::unique_ptr<FigureExportCommand> figureExport_;

    // The texts of the two grid-size boxes the grid is laid out for, put
    // back when the operator refuses to drop values for a new size.
    std::array<QString, 2> sizeTexts_;
    bool sizeBusy_ = false;
    // Counts per millimetre the tablet delivers, as it last told; 0 when not
    // known.
    double tabletCountsPerMm_ = 0.0;
    // Why the window is being closed: 0 by the operator through the window's
    // own controls, 1 from code (the exit button), 2 by the session ending.
    int unloadMode_ = 0;
    QTimer* settingsTimer_ = nullptr;
    // The window title as start-up builds it.
    QString title_;
    // Told once when the window is up: a recovery, own files that are not
    // what they must be.
    QStringList startupNotices_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool focusedOnce_ = false;
    bool resizing_ = false;
    // A figure refresh is scheduled; how long the last one took (ms).
    bool figurePending_ = false;
    // The grid's tag count the display's kept figures were last pushed at,
    // and whether it shows any.
    std::uint64_t pushedTags_ = 0;
    bool marksShown_ = false;
    int figureCostMs_ = 0;
    // The tablet's own troubles: what the figure display says of them, and
    // for how long; the tablet unplugged.
    QString tabletNotice_;
    NoticeLasts tabletNoticeLasts_ = NoticeLasts::UntilNextPoint;
    bool tabletGone_ = false;
    // This program is the active one; the pen is held for it now.
    bool appActive_ = false;
    bool penHeld_ = false;
};
