#include "shell/frmTab.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "shell/AppFiles.h"
#include "files/AtomicFile.h"
#include "grid/Mei.h"
#include "grid/ui/CellEditorBox.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "measure/ui/SidePlacement.h"
#include "shell/ReceivedPointList.h"
#include "shell/TabControl.h"
#include "shell/TextBuffer.h"
#include "shell/WindowKeys.h"

namespace {

const QString kDesignCaption = QStringLiteral("Kalvor ／ タブレット計測システム");
// The notice after the version in the title.
const QString kTitleNotice = QStringLiteral("   タブレットで測った長さと面積を表に記録します");

}  // namespace

frmTab::frmTab(const Edition& edition, const frmTabServices& services, QWidget* parent)
    : QWidget(parent),
      edition_(edition),
      services_(services),
      tablet_(*services.tablet),
      MMControl1(*services.sound),
      CommonDialog1(*services.dialogs),
      clipboard_(*services.clipboard),
      settings_(SettingsFilePath(services.dataDirectory, services.executableBaseName)),
      grid_(20, 7),
      undo_(grid_),
      autosave_(services.dataDirectory, edition.autosave, [this] { UpdateTitle(); }),
      scale_(settings_),
      engine_(*services.tablet, *this,
              MeasureEngine::Options{edition.coordinateMode, edition.twoPointNote}),
      wndProc_([this](std::int32_t w, std::int32_t l) { GetWintab(w, l); }) {
    tabletCountsPerMm_ = services.tabletCountsPerMm;
    BuildControls();
    // The key help keeps its five lines; the keys beyond them are told here.
    msgMei->setToolTip(
        QStringLiteral("Ctrl+Z：元に戻す　Ctrl+Y：やり直し　F2・ダブルクリック：セルの編集\n"
                       "F9：選択したセルの合計を入力　Shift+F9：平均を入力\n"
                       "Ctrl+BackSpace：図形の最後の点を取消\n"
                       "F7：円弧　F8：合算・合計を入力　Shift+F8：次の図形を差し引く"));
    SetFocusOrder();
    ConnectHandlers();
    BuildSelectionLine();
    ConnectSettingsWrites();
    ConnectFigure();
    ConnectMarks();
    undo_.SetResizeGrid([this](int rows, int cols) { ResizeGridTo(rows, cols); });
    // Key preview: the window's key handler sees every key before the
    // focused control.
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { unloadMode_ = 2; });
    tablet_.SetNoticeSink([this](const TabletNotice& notice) { TabletNoticed(notice); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                ApplicationActivated(state == Qt::ApplicationActive);
            });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (loaded_ && !unloaded_) Form_Unload();
    });
}

frmTab::~frmTab() {
    DisconnectFigure();
    tablet_.SetNoticeSink({});
    qApp->removeEventFilter(this);
    // Controls losing the focus as they go must not write settings from a
    // window that is half destroyed, nor reach its handlers at all: by the
    // time the base class hides them, this part of the window is gone.
    loaded_ = false;
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    settingsTimer_->stop();
    // The grid view reads the cells until it is gone: it must go before the
    // cell table, which as a member would otherwise be destroyed first.
    delete msgMei;
    msgMei = nullptr;
}

void frmTab::ConnectHandlers() {
    for (int i = 0; i < 2; ++i)
        connect(cmdMes[i], &QToolButton::clicked, this, [this, i] { cmdMes_Click(i); });
    for (int i = 0; i < edition_.MeasurementCount(); ++i) {
        connect(optMes[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) optMes_Click(i);
        });
    }
    connect(cmdScale, &QPushButton::clicked, this, [this] { cmdScale_Click(); });
    connect(cmdScaleRatio, &QPushButton::clicked, this, [this] { cmdScaleRatio_Click(); });
    connect(cmdScaleVertical, &QPushButton::clicked, this, [this] { cmdScaleVertical_Click(); });
    connect(cmdNextLine, &QToolButton::clicked, this, [this] { cmdNextLine_Click(); });
    connect(msgMei, &MeiGridView::keyPress, this,
            [this](int code, const QString& typed) { msgMei_KeyPress(code, typed); });
    connect(msgMei, &MeiGridView::keyDown, this,
            [this](int keyCode, int shift) { msgMei_KeyDown(keyCode, shift); });
    connect(msgMei, &MeiGridView::scrolled, this, [this] { msgMei_Scroll(); });
    connect(msgMei, &MeiGridView::doubleClicked, this, [this] { EditCurrentCell(); });
    connect(txtForEdit, &CellEditorBox::keyDown, this,
            [this](int keyCode, int shift) { txtForEdit_KeyDown(keyCode, shift); });
    connect(txtForEdit, &CellEditorBox::lostFocus, this, [this] { txtForEdit_LostFocus(); });
    for (int i = 0; i < 4; ++i)
        connect(txtInput[i], &QLineEdit::textChanged, this, [this, i] { txtInput_Change(i); });
    for (int i : {1, 2})
        connect(txtInput[i], &QLineEdit::editingFinished, this, [this, i] { GridSizeEntered(i); });
    connect(cmdWidth, &QComboBox::currentIndexChanged, this, [this] { cmdWidth_Click(); });
    connect(cmbNiten, &QComboBox::currentIndexChanged, this,
            [this] { engine_.TwoPointAxisChanged(); });
    connect(cmdSave, &QToolButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdCopy, &QToolButton::clicked, this, [this] { cmdCopy_Click(); });
    if (cmdPaste != nullptr)
        connect(cmdPaste, &QToolButton::clicked, this, [this] { cmdPaste_Click(); });
    connect(cmdClr, &QToolButton::clicked, this, [this] { cmdClr_Click(); });
    connect(cmdExit, &QToolButton::clicked, this, [this] { cmdExit_Click(); });
    connect(cmdWav, &QPushButton::clicked, this, [this] { cmdWav_Click(); });
}

void frmTab::ConnectFigure() {
    // Where the screen has no room beside this window, the pad or the
    // figure window may cover the grid, never the title bar, the tabs, the
    // buttons or the key help.
    setProperty(kCoverableProperty, QVariant::fromValue<QObject*>(msgMei));
    if (services_.figure == nullptr) return;
    services_.figure->SetRequests([this] { UndoLastPoint(); },
                                  [this] { Form_KeyDown(kKeyF12, 0); });
    services_.figure->SetFunctionRequests(
        [this](int keyCode, int shift) { FunctionKey(keyCode, shift); });
    // The status line's value follows the scale, the decimals and the axis
    // of a two-point distance as they are typed or chosen.
    for (int i : {0, 3})
        connect(txtInput[i], &QLineEdit::textChanged, this, [this] { FigureChanged(); });
    connect(cmbSyosu, &QComboBox::currentIndexChanged, this, [this] { FigureChanged(); });
    connect(cmbNiten, &QComboBox::currentIndexChanged, this, [this] { FigureChanged(); });
}

void frmTab::DisconnectFigure() {
    // The display may outlive the window; its requests must not reach it.
    if (services_.figure == nullptr) return;
    services_.figure->SetRequests({}, {});
    services_.figure->SetFunctionRequests({});
    services_.figure->SetMarkRequest({});
    // Nor its figures, which the grid going away no longer vouches for.
    services_.figure->ShowMarks({});
}

void frmTab::OwnFileProblem(const QString& path, const QString& why) {
    startupNotices_ << QStringLiteral("「%1」：%2。").arg(QDir::toNativeSeparators(path), why);
}

bool frmTab::Form_Load() {
    // A second copy ends at once: it reads no settings, does not touch the
    // tablet and leaves the first copy's run marker alone.
    if (services_.previousInstance) return false;

    title_ = kDesignCaption + QStringLiteral(" ver") + edition_.version + kTitleNotice;
    UpdateTitle();
    QDir::setCurrent(services_.executableDirectory);
    PlaceOnScreen();

    engine_.Reset();

    // The tablet notification must reach GetWintab before the library can
    // post it.
    wndProc_.Install(this);
    const std::int32_t debugSwitch =
        settings_.ReadSetting(kWindowSection, QStringLiteral("optDataDebug"), QString()) ==
                QStringLiteral("Api Padlink")
            ? -1
            : 0;
    tablet_.PadlinkInit(this, debugSwitch, 0);
    tablet_.PadlinkSetMove(2);
    if (!services_.tabletLoadError.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(services_.tabletLoadError));
        CommonDialog1.Notify(services_.tabletLoadError);
    }

    // Defaults of missing keys reach the file in one write, before the window
    // shows.
    settings_.BeginBatch();
    RestoreSettings();
    settings_.EndBatch();

    MMControl1.Open(sWavFile);
    LayoutGrid();
    sstMenu->setCurrentIndex(0);
    lblHelp->setText(
        QStringLiteral("Enterキー ： 次行移動\r\n\r\nDEL,BSキー： データ削除\r\n\r\n"
                       "F12キー   ： 多面積計算"));
    // Beyond the design: the one way back to a closed pad or figure window,
    // which has nothing else to click on.
    if (services_.figure != nullptr)
        lblHelp->setText(lblHelp->text() + (services_.figure->TakesPen()
                                                ? QStringLiteral("\r\nF11キー   ： パッド表示")
                                                : QStringLiteral("\r\nF11キー   ： 図形の表示")));

    if (!settings_.Problem().isEmpty()) {
        OwnFileProblem(settings_.Path(),
                       settings_.Problem() + QStringLiteral("。設定は読み書きしません"));
    }
    // A marker left behind means the previous run did not end normally:
    // bring its autosaved grid back.
    if (autosave_.PreviousRunBroke()) LoadAutosave(AutosavePath());
    if (const QString notice = autosave_.BeginRun(); !notice.isEmpty()) startupNotices_ << notice;
    RemoveWriteLeftovers(settings_.Path());
    loaded_ = true;
    appActive_ = QGuiApplication::applicationState() == Qt::ApplicationActive;
    return true;
}

void frmTab::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    settingsTimer_->stop();
    // The pen goes back to the desktop before the library closes.
    UpdatePenHold();
    tablet_.PadlinkClose();
    wndProc_.Remove();
    MMControl1.Close();
    SaveSettings();
    autosave_.EndRun();
}

void frmTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!focusedOnce_) {
        focusedOnce_ = true;
        msgMei->setFocus(Qt::OtherFocusReason);
        // Once the window is up, so that it never holds up the start.
        QStringList notices = startupNotices_;
        if (!services_.startupNotice.isEmpty()) notices.prepend(services_.startupNotice);
        if (!notices.isEmpty()) {
            const QString text = notices.join(QStringLiteral("\n\n"));
            std::fprintf(stderr, "%s\n", qPrintable(text));
            QTimer::singleShot(0, this, [this, text] { CommonDialog1.Notify(text); });
        }
    }
}

bool frmTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Each key once, when it reaches the focused control of this window.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget == QApplication::focusWidget() &&
            (widget == this || isAncestorOf(widget))) {
            auto* key = static_cast<QKeyEvent*>(event);
            Form_KeyDown(VirtualKeyCode(*key), ShiftState(key->modifiers()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmTab::Form_KeyDown(int keyCode, int shift) {
    if (keyCode == kKeyF11) {
        OpenFigureWindow();
        return;
    }
    if (keyCode == kKeyF7 || keyCode == kKeyF8) {
        FunctionKey(keyCode, shift);
        return;
    }
    // Esc keeps its meaning in the cell editor; elsewhere it offers to drop
    // a sum in progress.
    if (keyCode == Mei::kKeyEscape && engine_.SumHoldsFigures() && !txtForEdit->IsVisible()) {
        ConfirmDropSum();
        FigureChanged();
        return;
    }
    if (keyCode != kKeyF12) return;
    engine_.CalcLengthArea();
    FigureChanged();
    PlayCaptureSound();
}

void frmTab::Form_QueryUnload(bool& cancel, int unloadMode) {
    // Only a close through the window's own controls asks; the exit button
    // has asked already, and a session ending closes without a question.
    if (unloadMode != 0) return;
    if (!ConfirmDropSum() || !ConfirmUnsavedValues() ||
        !CommonDialog1.Ask(QStringLiteral("終了してよろしいですか？")))
        cancel = true;
}

void frmTab::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel, unloadMode_);
    if (cancel) {
        unloadMode_ = 0;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmTab::cmdExit_Click() {
    // Values not yet in a file or a spreadsheet would be gone at the next
    // start: the autosave is only read after a crash. A sum's figures are in
    // no cell at all.
    if (!ConfirmDropSum() || !ConfirmUnsavedValues()) return;
    if (!CommonDialog1.Ask(QStringLiteral("終了してよろしいですか？"))) return;
    unloadMode_ = 1;
    close();
}

void frmTab::GetWintab(std::int32_t wParam, std::int32_t lParam) {
    const std::int32_t before = engine_.points.lPointCount;
    engine_.GetWintab(wParam, lParam);
    // A new point answers a notice that lasts only until then.
    if (tabletNoticeLasts_ == NoticeLasts::UntilNextPoint && !tabletNotice_.isEmpty() &&
        engine_.points.lPointCount != before)
        SetTabletNotice(QString(), NoticeLasts::UntilNextPoint);
    UpdatePenHold();
    // The notification's points are shown, and the last line brought into
    // view, once: line by line cost most of a long trace's intake.
    if (receivedPoints_->Flush()) {
        const QModelIndex last = receivedPoints_->index(receivedPoints_->rowCount() - 1);
        if (lstGetData->currentIndex() != last) lstGetData->setCurrentIndex(last);
    }
    FigureChanged();
}
