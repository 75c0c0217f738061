// Handlers of the grid, the measurement controls and the exchange commands.

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QStandardPaths>

#include "exchange/CsvFile.h"
#include "exchange/ParseIntoGrid.h"
#include "exchange/TextTable.h"
#include "grid/Mei.h"
#include "grid/NumberText.h"
#include "grid/ui/CellEditorBox.h"
#include "grid/ui/MeiGridView.h"
#include "shell/TextBuffer.h"
#include "shell/WindowKeys.h"
#include "shell/frmTab.h"

namespace {

const QString kClearQuestion = QStringLiteral("全データをクリアしてよろしいですか？");

}  // namespace

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
    Mei::StartEditByKey(*msgMei, *txtForEdit, code, FilterKind::Number, typed);
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
    autosave_.Hold(true);
    msgMei->BeginBulkChange();
    const PasteResult result = ::ParseIntoGrid(txtClip->Text(), separator, grid_,
                                               [this](double value) { PutValue(value, false); });
    msgMei->EndBulkChange();
    autosave_.Hold(false);
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
    // A stop must not drop a sum's figures without a word.
    if (index == 1 && !ConfirmDropSum()) return;
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
