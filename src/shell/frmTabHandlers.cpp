// Handlers of the grid, the measurement controls and the exchange commands,
// and the window's side of the measurement engine.

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cstdio>

#include "grid/ui/CellEditorBox.h"
#include "exchange/CsvFile.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/Mei.h"
#include "grid/ui/MeiGridView.h"
#include "grid/NumberText.h"
#include "exchange/ParseIntoGrid.h"
#include "shell/ReceivedPointList.h"
#include "exchange/RestoreTable.h"
#include "shell/TabControl.h"
#include "shell/TextBuffer.h"
#include "exchange/TextTable.h"
#include "shell/frmTab.h"

namespace {

// The grid's size limits: enough for any drawing, small enough to stay
// responsive.
constexpr double kMaxDataRows = 10000;
constexpr double kMaxDataCols = 1000;
constexpr int kHeaderColumnWidth = 600;  // twips
// Keys typed on the grid open the editor through the number filter.
constexpr int kNumberKind = 2;

const QString kClearQuestion = QStringLiteral("全データをクリアしてよろしいですか？");

// Key codes of the grid's keys beyond the design (undo, editing, totals), and
// the bits of the shift state.
constexpr int kKeyF2 = 113;
constexpr int kKeyF9 = 120;
constexpr int kKeyC = 67;
constexpr int kKeyV = 86;
constexpr int kKeyY = 89;
constexpr int kKeyZ = 90;
constexpr int kShiftBit = 1;
constexpr int kCtrlBit = 2;

// Rows or Cols from a size text: the number plus the header, rounded half to
// even and held within the limits. No value for a text that is not a number.
std::optional<int> GridSizeFromText(const QString& text, double maxData) {
    const std::optional<double> n = ParseNumber(text);
    if (!n) return std::nullopt;
    return RoundHalfEven(std::clamp(*n + 1.0, 2.0, maxData + 1.0));
}

}  // namespace

// --- Fill direction and the cursor -------------------------------------------

bool frmTab::FillsDown() const { return optInput[0]->isChecked(); }

void frmTab::AdvanceInFillDirection() {
    int col = grid_.Col();
    int row = grid_.Row();
    if (FillsDown()) {
        ++row;
    } else {
        ++col;
    }
    Mei::AdvanceCursor(*msgMei, col, row, 1);
}

void frmTab::PutValue(double value, bool advance) {
    const QString text = FormatDecimals(value, cmbSyosu->currentIndex());
    engine_.ValuePut();
    FigureChanged();
    // A value without a text that reads back (not finite, or too large once
    // rounded) is a value that cannot be had: it is not written, and the
    // cursor stays, as when a measurement yields no value.
    if (text.isEmpty()) return;
    grid_.SetTextMatrix(grid_.Row(), grid_.Col(), text);
    if (!deferAutosave_) WriteAutosave();
    if (advance) AdvanceInFillDirection();
}

void frmTab::WriteAutosave() {
    if (!edition_.autosave) return;
    const FileWriteResult saved = ::WriteCsv(grid_, AutosavePath());
    SetAutosaveProblem(saved ? QString() : saved.reason);
}

void frmTab::SetAutosaveProblem(const QString& why) {
    // Measuring goes on either way, but the operator must know that the
    // values on screen are not safe: the title says so, once, from the first
    // failure until a save succeeds again. The old file stays as it was.
    const QString problem = why.isEmpty() ? QString()
                                          : QStringLiteral("   ※自動保存できません（%1：%2）")
                                                .arg(QDir::toNativeSeparators(AutosavePath()), why);
    if (problem == autosaveProblem_) return;
    if (!problem.isEmpty() && autosaveProblem_.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(problem.trimmed()));
    autosaveProblem_ = problem;
    UpdateTitle();
}

bool frmTab::WriteCsv(const QString& path) {
    // The operator's own choice of file: a link to a regular file is written
    // through, as the platform's save dialog would.
    return ::WriteCsv(grid_, path, Links::Follow).ok;
}

void frmTab::cmdNextLine_Click() {
    int col, row;
    if (FillsDown()) {
        col = grid_.Col() + 1;
        row = 1;
    } else {
        col = 1;
        row = grid_.Row() + 1;
    }
    Mei::AdvanceCursor(*msgMei, col, row, 1);
}

// --- Grid keys and the cell editor --------------------------------------------

void frmTab::msgMei_KeyPress(int code, const QString& typed) {
    if (code == Mei::kKeyReturn) {
        cmdNextLine_Click();
        return;
    }
    Mei::StartEditByKey(*msgMei, *txtForEdit, code, kNumberKind, typed);
}

void frmTab::msgMei_KeyDown(int keyCode, int shift) {
    // Undo keys of every spreadsheet: Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z.
    if ((shift & kCtrlBit) != 0 && (keyCode == kKeyZ || keyCode == kKeyY)) {
        if (keyCode == kKeyZ && (shift & kShiftBit) == 0) {
            Undo();
        } else {
            Redo();
        }
        return;
    }
    // A spreadsheet's copy and paste keys: the selected cells without a
    // notice, and the paste of "貼付".
    if (shift == kCtrlBit && keyCode == kKeyC) {
        CopySelection();
        return;
    }
    if (shift == kCtrlBit && keyCode == kKeyV) {
        cmdPaste_Click();
        return;
    }
    if (keyCode == kKeyF2 && shift == 0) {
        EditCurrentCell();
        return;
    }
    if (keyCode == kKeyF9 && (shift == 0 || shift == kShiftBit)) {
        PutSelectionTotal(shift == kShiftBit);
        return;
    }
    Mei::GridKeyDown(*msgMei, *txtForEdit, keyCode);
}

void frmTab::EditCurrentCell() {
    if (txtForEdit->IsVisible()) return;
    Mei::ShowEditor(*msgMei, *txtForEdit, grid_.Text(), Mei::kCaretAtEnd, 0);
}

bool frmTab::Undo() {
    msgMei->BeginBulkChange();
    const bool undone = undo_.Undo();
    msgMei->EndBulkChange();
    if (undone) WriteAutosave();
    msgMei->SetFocus();
    return undone;
}

bool frmTab::Redo() {
    msgMei->BeginBulkChange();
    const bool redone = undo_.Redo();
    msgMei->EndBulkChange();
    if (redone) WriteAutosave();
    msgMei->SetFocus();
    return redone;
}

void frmTab::msgMei_Scroll() { Mei::GridScrolled(*msgMei, *txtForEdit); }

void frmTab::txtForEdit_KeyDown(int keyCode, int shift) {
    Mei::EditorKeyDown(*msgMei, *txtForEdit, keyCode, shift);
}

void frmTab::txtForEdit_LostFocus() {
    const QString before = grid_.TextMatrix(grid_.lEditRow, grid_.lEditCol);
    undo_.Begin();
    Mei::CommitEdit(*msgMei, *txtForEdit, FillsDown());
    undo_.End();
    // A corrected or emptied cell must survive a crash like a measured one.
    if (grid_.TextMatrix(grid_.lEditRow, grid_.lEditCol) != before) WriteAutosave();
}

// --- Grid layout and clearing -----------------------------------------------------

void frmTab::LayoutGrid() {
    if (const auto rows = GridSizeFromText(txtInput[1]->text(), kMaxDataRows)) grid_.SetRows(*rows);
    if (const auto cols = GridSizeFromText(txtInput[2]->text(), kMaxDataCols)) grid_.SetCols(*cols);
    for (int i = 1; i < grid_.Rows(); ++i) grid_.SetTextMatrix(i, 0, QString::number(i));
    grid_.SetColWidth(0, kHeaderColumnWidth);
    const std::optional<double> width = ParseNumber(cmdWidth->currentText());
    const std::optional<int> widthTwips = width ? RoundHalfEven(*width) : std::nullopt;
    for (int j = 1; j < grid_.Cols(); ++j) {
        grid_.SetTextMatrix(0, j, QString::number(j));
        if (widthTwips) grid_.SetColWidth(j, *widthTwips);
    }
    // The texts the grid is laid out for: an entered size is compared with them.
    sizeTexts_ = {txtInput[1]->text(), txtInput[2]->text()};
}

void frmTab::ClearGrid() {
    grid_.ClearData();
    int col = 1;
    int row = 1;
    Mei::AdvanceCursor(*msgMei, col, row, 1);
}

void frmTab::txtInput_Change(int) {
    // A grid size is taken when the operator has typed it (GridSizeEntered),
    // never at each keystroke: "3" on the way to "30" is no size to lay the
    // grid out for, let alone to empty it for.
}

void frmTab::GridSizeEntered(int index) {
    // Leaving the box while the question is open, or while the window is
    // destroyed, finishes the editing again: only the first finish counts.
    if (!loaded_ || sizeBusy_) return;
    const int slot = index - 1;
    const QString text = txtInput[index]->text();
    if (text == sizeTexts_[slot]) return;
    sizeBusy_ = true;
    const auto guard = qScopeGuard([this] { sizeBusy_ = false; });
    const auto putBack = [&] { txtInput[index]->setText(sizeTexts_[slot]); };
    const std::optional<int> size =
        GridSizeFromText(text, index == 1 ? kMaxDataRows : kMaxDataCols);
    if (!size) {
        putBack();
        return;
    }
    // Values that would fall outside are not thrown away without a word;
    // a size that holds them all needs none.
    const int rows = index == 1 ? *size : grid_.Rows();
    const int cols = index == 2 ? *size : grid_.Cols();
    const int outside = grid_.UsedOutside(rows, cols);
    if (outside > 0 &&
        !CommonDialog1.Ask(
            QStringLiteral("表に入りきらない値が %1 個あります。削除してよろしいですか？")
                .arg(outside))) {
        putBack();
        return;
    }
    // One step the operator can take back, the size with the values.
    undo_.Begin();
    LayoutGrid();
    undo_.End();
    // Dropped values must not come back with a crash's recovery.
    if (outside > 0) WriteAutosave();
}

void frmTab::cmdWidth_Click() { LayoutGrid(); }

// --- Clipboard, files and confirmations ------------------------------------------

void frmTab::CopyToClipboard() {
    const QString text = BuildTextTable(grid_, QStringLiteral("\t"));
    clipboard_.Clear();
    clipboard_.SetText(text);
    // On its way to a spreadsheet: as safe as a saved file.
    savedChanges_ = grid_.Changes();
}

void frmTab::CopySelection() {
    // A part of the table is not the table kept safe: the values still count
    // as unsaved.
    clipboard_.Clear();
    clipboard_.SetText(BuildRangeTable(grid_, msgMei->SelectedRange(), QStringLiteral("\t")));
}

void frmTab::cmdCopy_Click() {
    CopyToClipboard();
    CommonDialog1.Notify(QStringLiteral(
        "クリップボードにコピーしました。 エクセルなどにペースト（貼付け）できます。"));
}

void frmTab::cmdPaste_Click() {
    if (txtClip == nullptr) return;
    if (!CommonDialog1.Ask(QStringLiteral("貼付けしてよろしいですか？"))) return;
    if (!clipboard_.HasText()) return;
    txtClip->SetText(clipboard_.Text());
    undo_.Begin();
    ParseIntoGrid(QStringLiteral("\t"));
    undo_.End();
}

void frmTab::ParseIntoGrid(const QString& separator) {
    if (txtClip == nullptr) return;
    // One autosave when the whole table is in, byte for byte what a write
    // after every field would have left, without rewriting the file per field.
    deferAutosave_ = true;
    msgMei->BeginBulkChange();
    const PasteResult result = ::ParseIntoGrid(txtClip->Text(), separator, grid_,
                                               [this](double value) { PutValue(value, false); });
    msgMei->EndBulkChange();
    deferAutosave_ = false;
    if (result.put > 0) WriteAutosave();
    msgMei->SetFocus();
    // The grid never grows for a paste; what did not fit must not go
    // unnoticed.
    if (result.outside > 0) {
        CommonDialog1.Notify(
            QStringLiteral(
                "表に入りきらない値が %1 個あったため、その値は貼り付けていません。"
                "「その他の設定」で縦・横の項目数を増やしてから、もう一度貼り付けてください。")
                .arg(result.outside));
    }
}

void frmTab::LoadAutosave(const QString& path) {
    if (txtClip == nullptr) return;
    // A file that exists but cannot be read leaves the grid empty; start-up
    // goes on. One that is not the program's own regular file (a link, a
    // device) is not read at all, and the title says why until a value can
    // be saved.
    QString refusal;
    const std::optional<QString> text = ReadTextTableFile(path, &refusal);
    if (!refusal.isEmpty()) SetAutosaveProblem(refusal);
    if (!text) return;
    txtClip->SetText(*text);
    // Every value goes back into the cell it was saved from, the grid grown
    // to hold the whole table: the grid's size is only saved at a normal exit.
    const QChar separator(u',');
    const TableShape shape = MeasureTable(*text, separator);
    msgMei->BeginBulkChange();
    ResizeGridTo(std::max(shape.rows + 1, grid_.Rows()), std::max(shape.cols + 1, grid_.Cols()));
    const RestoredTable restored = RestoreTable(*text, separator, grid_, cmbSyosu->currentIndex());
    msgMei->EndBulkChange();
    if (restored.lastAcrossRow == 0) return;
    // Values that come back without a word could be taken for this session's.
    startupNotices_ << QStringLiteral(
                           "前回は正しく終了しなかったため、「%1」から値を %2 個戻しました。")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(restored.restored);
    // The cursor goes where the next value would have gone: from the last
    // filled cell in the fill direction, one step on as a put value moves.
    grid_.SetRow(FillsDown() ? restored.lastDownRow : restored.lastAcrossRow);
    grid_.SetCol(FillsDown() ? restored.lastDownCol : restored.lastAcrossCol);
    AdvanceInFillDirection();
    // Written once, now that the grid is whole: the file stays as it was
    // until then.
    WriteAutosave();
}

void frmTab::ResizeGridTo(int rows, int cols) {
    const std::array<int, 2> wanted = {std::clamp(rows - 1, 1, static_cast<int>(kMaxDataRows)),
                                       std::clamp(cols - 1, 1, static_cast<int>(kMaxDataCols))};
    const std::array<int, 2> now = {grid_.Rows() - 1, grid_.Cols() - 1};
    if (wanted == now) return;
    // The size boxes show the new size without clearing the grid.
    for (int slot = 0; slot < 2; ++slot) {
        if (wanted[slot] != now[slot]) txtInput[slot + 1]->setText(QString::number(wanted[slot]));
    }
    LayoutGrid();
}

void frmTab::cmdSave_Click() { SaveAs(); }

bool frmTab::SaveAs() {
    // A name to accept at once: a measurement of today's.
    QString name = CommonDialog1.SaveFileName(
        QStringLiteral("CSVファイル (*.csv)"), QString(), SaveFolder(), QStringLiteral("csv"),
        QStringLiteral("計測_%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    if (name.isEmpty()) return false;
    // The filter says CSV: a name typed without an extension gets it, as
    // the platform's own dialog gives its default suffix.
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".csv");
    // The operator's own choice of file: a link to a regular file is written
    // through, as the platform's save dialog would.
    const FileWriteResult saved = ::WriteCsv(grid_, name, Links::Follow);
    if (!saved) {
        // Why, on a line of its own: no permission, a full disk, ...
        CommonDialog1.Notify(name + QStringLiteral("に、ファイル保存できませんでした。\n") +
                             saved.reason);
        return false;
    }
    savedChanges_ = grid_.Changes();
    sSaveFolder = QFileInfo(name).absolutePath();
    SettingsChanged();
    CommonDialog1.Notify(name + QStringLiteral("に、ファイル保存しました。"));
    return true;
}

QString frmTab::SaveFolder() const {
    // The folder last saved to, else the user's documents: never the
    // program's own folder, which an installed program cannot write.
    if (!sSaveFolder.isEmpty() && QFileInfo(sSaveFolder).isDir()) return sSaveFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool frmTab::HasUnsavedValues() const {
    return grid_.UsedRows() > 0 && grid_.Changes() != savedChanges_;
}

bool frmTab::ConfirmUnsavedValues() {
    if (!HasUnsavedValues()) return true;
    switch (CommonDialog1.AskYesNoCancel(
        QStringLiteral("保存していない値があります。ファイルに保存しますか？"))) {
        case Dialogs::Answer::Yes:
            return SaveAs();
        case Dialogs::Answer::No:
            return true;
        case Dialogs::Answer::Cancel:
            return false;
    }
    return false;
}

void frmTab::cmdClr_Click() {
    if (!CommonDialog1.Ask(kClearQuestion)) return;
    undo_.Begin();
    ClearGrid();
    undo_.End();
}

void frmTab::cmdWav_Click() {
    // On the current file where it exists; else in the system's sounds,
    // not at the root with a path from another system filled in.
    // The built-in sound is no file the dialog can show.
    const QFileInfo current(sWavFile);
    const bool onDisk = current.isFile() && !sWavFile.startsWith(QLatin1Char(':'));
    const QString name = CommonDialog1.OpenFileName(
        QStringLiteral("Wavファイル (*.wav)"), onDisk ? sWavFile : QString(),
        onDisk ? current.absolutePath() : SystemSoundsFolder());
    if (name.isEmpty()) return;
    sWavFile = name;
    SettingsChanged();
    MMControl1.Close();
    MMControl1.Open(sWavFile);
    PlayCaptureSound();
}

QString frmTab::SystemSoundsFolder() {
#ifdef Q_OS_WIN
    const QString media =
        QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot")) + QStringLiteral("/Media");
#else
    const QString media = QStringLiteral("/usr/share/sounds");
#endif
    return QFileInfo(media).isDir() ? media : QDir::homePath();
}

// --- Measurement -----------------------------------------------------------------

void frmTab::cmdMes_Click(int index) {
    engine_.cmdMes_Click(index);
    // "計測開始" with the pad closed: the pad is the only pen there is.
    if (index == 0 && services_.figure != nullptr && services_.figure->TakesPen())
        OpenFigureWindow();
    FigureChanged();
    UpdatePenHold();
}

void frmTab::optMes_Click(int index) {
    engine_.optMes_Click(index);
    FigureChanged();
    UpdatePenHold();
}

void frmTab::cmdScale_Click() {
    engine_.cmdScale_Click();
    FigureChanged();
    UpdatePenHold();
}

QString frmTab::ReferenceLengthText() const { return txtInput[0]->text(); }

QString frmTab::TabletCountsText() const { return txtInput[3]->text(); }

int frmTab::SelectedMeasurement() const {
    for (int i = 0; i < edition_.MeasurementCount(); ++i)
        if (optMes[i]->isChecked()) return i;
    return -1;
}

int frmTab::TwoPointAxis() const { return cmbNiten->currentIndex(); }

QString frmTab::TwoPointAxisText() const { return cmbNiten->currentText(); }

bool frmTab::NextPointIsOrigin() const {
    return chkOrgPos != nullptr && chkOrgPos->checkState() == Qt::Checked;
}

void frmTab::SetNextPointIsOrigin(bool ticked) {
    if (chkOrgPos != nullptr) chkOrgPos->setChecked(ticked);
}

bool frmTab::InvertX() const {
    return chkZahyo[0] != nullptr && chkZahyo[0]->checkState() == Qt::Checked;
}

bool frmTab::InvertY() const {
    return chkZahyo[1] != nullptr && chkZahyo[1]->checkState() == Qt::Checked;
}

void frmTab::MoveCursor(int dCol, int dRow, int step) {
    int col = grid_.Col() + dCol;
    int row = grid_.Row() + dRow;
    Mei::AdvanceCursor(*msgMei, col, row, step);
}

void frmTab::FocusGrid() { msgMei->SetFocus(); }

void frmTab::SetStartEnabled(bool enabled) {
    cmdMes[0]->setEnabled(enabled);
    cmdMes[1]->setEnabled(!enabled);
}

void frmTab::SetGuidance(const QString& text) { lblMesHelp->setText(text); }

void frmTab::SetOriginBoxVisible(bool visible) {
    if (chkOrgPos != nullptr) chkOrgPos->setVisible(visible);
}

void frmTab::SetCalibrationNoticeVisible(bool visible) { lblMsg[0]->setVisible(visible); }

void frmTab::SetTabletCountsText(const QString& text) { txtInput[3]->setText(text); }

void frmTab::ListReceivedPoint(std::int32_t logX, std::int32_t logY) {
    receivedPoints_->Append(logX, logY);
}

void frmTab::PlayCaptureSound() {
    MMControl1.Prev();
    MMControl1.Play();
}
