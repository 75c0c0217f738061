#include "shell/frmTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "shell/AppFiles.h"
#include "exchange/AtomicFile.h"
#include "grid/ui/CellEditorBox.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "shell/ReceivedPointList.h"
#include "exchange/RegularFile.h"
#include "shell/TabControl.h"
#include "shell/TextBuffer.h"
#include "grid/Twips.h"
#include "shell/WindowFit.h"

namespace {

const QString kSection = QStringLiteral("frmTab");
const QString kDesignCaption = QStringLiteral("Kalvor ／ タブレット計測システム");
// The notice after the version in the title.
const QString kTitleNotice = QStringLiteral("   タブレットで測った長さと面積を表に記録します");
#ifdef Q_OS_WIN
const QString kDefaultWavFile = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");
#else
// Elsewhere that path names nothing: the program's own click, built in.
const QString kDefaultWavFile = QStringLiteral(":/sounds/capture.wav");
#endif

// Window layout, twips. The design platform measured the gaps from the outer
// window size (frame and title bar included: 135 twips wider and 390 twips
// higher than the client area at the design size). Qt reports the client
// area, so the equivalent client-area margins are used.
constexpr int kOuterFrameWidth = 135;
constexpr int kOuterFrameHeight = 390;
constexpr int kMinWindowHeight = 6000;
constexpr int kTabBottomGap = 450 - kOuterFrameHeight;
constexpr int kGridTabGap = 225;
constexpr int kGridWidthMargin = 300 - kOuterFrameWidth;
constexpr int kMinWidthExtra = 150;

// The smallest client area the layout allows: the tab control's right edge
// plus a margin, and a fixed height, less the frame.
constexpr int kMinClientWidth = 60 + 12255 + kMinWidthExtra - kOuterFrameWidth;
constexpr int kMinClientHeight = kMinWindowHeight - kOuterFrameHeight;
constexpr int kDesignClientWidth = 14880;
constexpr int kDesignClientHeight = 10095;

constexpr int kKeyF11 = 122;

constexpr int kKeyF12 = 123;

// How long the settings wait after a change before they are written, ms:
// long enough for a few clicks in a row, short against a crash.
constexpr int kSettingsPauseMs = 800;

// A check box's value as stored: 0 clear, 1 ticked, 2 greyed.
int CheckValue(const QCheckBox& box) {
    switch (box.checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

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
      engine_(*services.tablet, *this,
              MeasureEngine::Options{edition.coordinateMode, edition.twoPointNote}),
      wndProc_([this](std::int32_t w, std::int32_t l) { GetWintab(w, l); }) {
    tabletCountsPerMm_ = services.tabletCountsPerMm;
    BuildControls();
    // The key help keeps its five lines; the keys beyond them are told here.
    msgMei->setToolTip(
        QStringLiteral("Ctrl+Z：元に戻す　Ctrl+Y：やり直し　F2・ダブルクリック：セルの編集\n"
                       "F9：選択したセルの合計を入力　Shift+F9：平均を入力\n"
                       "Ctrl+BackSpace：図形の最後の点を取消"));
    SetFocusOrder();
    ConnectHandlers();
    BuildSelectionLine();
    ConnectSettingsWrites();
    ConnectFigure();
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

int frmTab::DpiX() const { return logicalDpiX(); }
int frmTab::DpiY() const { return logicalDpiY(); }

QString frmTab::AutosavePath() const {
    return AppFilePath(services_.dataDirectory, QStringLiteral("Save.csv"));
}

QString frmTab::RunMarkerPath() const {
    return AppFilePath(services_.dataDirectory, QStringLiteral("err.dat"));
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

void frmTab::ConnectSettingsWrites() {
    // Settings written while the program runs, not only at a normal exit.
    settingsTimer_ = new QTimer(this);
    settingsTimer_->setSingleShot(true);
    settingsTimer_->setInterval(kSettingsPauseMs);
    connect(settingsTimer_, &QTimer::timeout, this, [this] { WriteControlSettings(); });
    // A number box is written after the pause that follows its last
    // keystroke, not when it loses the focus: a new grid size sends the focus
    // to the grid and back at every keystroke.
    for (FilteredLineEdit* box : txtInput)
        connect(box, &QLineEdit::textChanged, this, [this] { SettingsChanged(); });
    for (QComboBox* list : {cmbSyosu, cmdWidth, cmbNiten})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { SettingsChanged(); });
    for (QRadioButton* option : optMes)
        if (option != nullptr)
            connect(option, &QRadioButton::toggled, this, [this] { SettingsChanged(); });
    for (QRadioButton* option : optInput)
        connect(option, &QRadioButton::toggled, this, [this] { SettingsChanged(); });
    for (QCheckBox* box : chkZahyo)
        if (box != nullptr)
            connect(box, &QCheckBox::stateChanged, this, [this] { SettingsChanged(); });
    connect(chkPenGrab, &QCheckBox::toggled, this, [this] {
        SettingsChanged();
        UpdatePenHold();
    });
}

void frmTab::OwnFileProblem(const QString& path, const QString& why) {
    startupNotices_ << QStringLiteral("「%1」：%2。").arg(QDir::toNativeSeparators(path), why);
}

void frmTab::SettingsChanged() {
    // The restore at start-up sets the controls too: nothing to write then.
    if (loaded_ && !unloaded_) settingsTimer_->start();
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
        settings_.ReadSetting(kSection, QStringLiteral("optDataDebug"), QString()) ==
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
    if (edition_.autosave) {
        // A marker left behind means the previous run did not end normally:
        // bring its autosaved grid back.
        if (RunMarkerPresent(RunMarkerPath())) LoadAutosave(AutosavePath());
        // A marker that cannot be created only costs the recovery of this
        // run; one that is not ours stays as it stands, and the operator
        // must know that a crash will not be recovered.
        QString why;
        if (!CreateRunMarker(RunMarkerPath(), &why) && KindAt(RunMarkerPath()) != FileKind::Missing)
            OwnFileProblem(RunMarkerPath(),
                           why + QStringLiteral("。異常終了したときに値を戻せません"));
        // What a write killed half-way left behind, now that the recovery
        // has read what it needs.
        RemoveWriteLeftovers(AutosavePath());
    }
    RemoveWriteLeftovers(settings_.Path());
    loaded_ = true;
    appActive_ = QGuiApplication::applicationState() == Qt::ApplicationActive;
    return true;
}

int frmTab::ReadIndexSetting(const QString& key, int defaultValue, int lowest, int highest) {
    const QString text =
        settings_.ReadSettingOrDefault(kSection, key, QString::number(defaultValue));
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    // A value that the control cannot take falls back to the key's default;
    // the file keeps it until shut-down writes the control's value.
    if (!ok || value < lowest || value > highest) return defaultValue;
    return value;
}

void frmTab::RestoreSettings() {
    const QString defaults[4] = {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("15"),
                                 QStringLiteral("800")};
    for (int i = 0; i < 4; ++i) {
        txtInput[i]->setText(settings_.ReadSettingOrDefault(
            kSection, QStringLiteral("txtInput %1").arg(i), defaults[i]));
    }
    cmbSyosu->setCurrentIndex(ReadIndexSetting(QStringLiteral("cmbSyosu"), 2, -1, 5));
    cmdWidth->setCurrentIndex(ReadIndexSetting(QStringLiteral("cmdWidth"), 2, -1, 7));
    cmbNiten->setCurrentIndex(ReadIndexSetting(QStringLiteral("cmbNiten"), 0, -1, 2));
    if (edition_.coordinateMode) {
        const QString keys[2] = {QStringLiteral("chkZahyoX"), QStringLiteral("chkZahyoY")};
        for (int i = 0; i < 2; ++i) {
            const int v = ReadIndexSetting(keys[i], 0, 0, 2);
            chkZahyo[i]->setTristate(v == 2);
            chkZahyo[i]->setCheckState(v == 0   ? Qt::Unchecked
                                       : v == 1 ? Qt::Checked
                                                : Qt::PartiallyChecked);
        }
    }
    optMes[ReadIndexSetting(QStringLiteral("optMes"), 0, 0, edition_.MeasurementCount() - 1)]
        ->setChecked(true);
    optInput[ReadIndexSetting(QStringLiteral("optInput"), 1, 0, 1)]->setChecked(true);
    sWavFile =
        settings_.ReadSettingOrDefault(kSection, QStringLiteral("sWavFile"), kDefaultWavFile);
    // Beyond the design's keys: read without writing their defaults back.
    sSaveFolder = settings_.ReadSetting(kSection, QStringLiteral("sSaveFolder"), QString());
    chkPenGrab->setChecked(settings_.ReadSetting(kSection, QStringLiteral("chkPenGrab"),
                                                 QStringLiteral("1")) != QLatin1String("0"));
    RestoreDrawingScale();
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
    // Already gone or not deletable: nothing more to do about it.
    if (edition_.autosave) QFile::remove(RunMarkerPath());
}

void frmTab::SaveSettings() {
    auto write = [this](const QString& key, const QString& value) {
        settings_.WriteSetting(kSection, key, value);
    };
    // Every key in one write of the file.
    settings_.BeginBatch();
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    write(QStringLiteral("WindowState"), QString::number(state));
    if (state == 0) {
        const QRect frame = frameGeometry();
        write(QStringLiteral("x"), QString::number(PixelsToTwips(frame.x(), DpiX())));
        write(QStringLiteral("y"), QString::number(PixelsToTwips(frame.y(), DpiY())));
        write(QStringLiteral("w"), QString::number(PixelsToTwips(frame.width(), DpiX())));
        write(QStringLiteral("h"), QString::number(PixelsToTwips(frame.height(), DpiY())));
    }
    WriteControlSettings();
    settings_.EndBatch();
}

void frmTab::WriteControlSettings() {
    auto write = [this](const QString& key, const QString& value) {
        settings_.WriteSetting(kSection, key, value);
    };
    settings_.BeginBatch();
    for (int i = 0; i < edition_.MeasurementCount(); ++i)
        if (optMes[i]->isChecked()) write(QStringLiteral("optMes"), QString::number(i));
    for (int i = 0; i < 2; ++i)
        if (optInput[i]->isChecked()) write(QStringLiteral("optInput"), QString::number(i));
    for (int i = 0; i < 4; ++i) write(QStringLiteral("txtInput %1").arg(i), txtInput[i]->text());
    write(QStringLiteral("cmbSyosu"), QString::number(cmbSyosu->currentIndex()));
    write(QStringLiteral("cmdWidth"), QString::number(cmdWidth->currentIndex()));
    write(QStringLiteral("cmbNiten"), QString::number(cmbNiten->currentIndex()));
    if (edition_.coordinateMode) {
        write(QStringLiteral("chkZahyoX"), QString::number(CheckValue(*chkZahyo[0])));
        write(QStringLiteral("chkZahyoY"), QString::number(CheckValue(*chkZahyo[1])));
    }
    write(QStringLiteral("sWavFile"), sWavFile);
    if (!sSaveFolder.isEmpty()) write(QStringLiteral("sSaveFolder"), sSaveFolder);
    WritePenGrabSetting();
    WriteDrawingScale();
    settings_.EndBatch();
}

void frmTab::Form_Resize() {
    if (isMinimized() || resizing_) return;
    const double dpiX = DpiX();
    const double dpiY = DpiY();
    const int minWidth = kMinClientWidth;
    const int minHeight = kMinClientHeight;
    int width = PixelsToTwips(this->width(), dpiX);
    int height = PixelsToTwips(this->height(), dpiY);
    if (!isMaximized() && !isFullScreen() && (width < minWidth || height < minHeight)) {
        width = std::max(width, minWidth);
        height = std::max(height, minHeight);
        resizing_ = true;
        resize(TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
        resizing_ = false;
        width = PixelsToTwips(this->width(), dpiX);
        height = PixelsToTwips(this->height(), dpiY);
    }
    const int tabHeight = 2475;
    const int tabTop = height - tabHeight - kTabBottomGap;
    sstMenu->move(TwipsToPixels(60, dpiX), TwipsToPixels(tabTop, dpiY));
    // The margins are taken off the grid's size, not measured from its edges:
    // its height is the tab control's top less 225 and its width the outer
    // width less 300, which leaves 105 twips right of and below the grid.
    const int gridHeight = tabTop - kGridTabGap;
    msgMei->resize(TwipsToPixels(width - kGridWidthMargin, dpiX),
                   TwipsToPixels(std::max(gridHeight, 0), dpiY));
}

void frmTab::PlaceOnScreen() {
    const double dpiX = DpiX();
    const double dpiY = DpiY();
    auto size = [&](int widthTwips, int heightTwips) {
        return QSize(TwipsToPixels(widthTwips, dpiX), TwipsToPixels(heightTwips, dpiY));
    };
    const QScreen* where = screen();
    const QRect available = where != nullptr ? where->availableGeometry() : QRect();
    if (available.isEmpty()) {
        move(0, 0);
        return;
    }
    const WindowFit fit = FitToScreen(size(kDesignClientWidth, kDesignClientHeight),
                                      size(kMinClientWidth, kMinClientHeight),
                                      size(kOuterFrameWidth, kOuterFrameHeight), available);
    resize(fit.client);
    move(fit.topLeft);
    if (fit.maximize) setWindowState(windowState() | Qt::WindowMaximized);
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

void frmTab::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kKeyF11) {
        OpenFigureWindow();
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
    if (!ConfirmUnsavedValues() || !CommonDialog1.Ask(QStringLiteral("終了してよろしいですか？")))
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
    // start: the autosave is only read after a crash.
    if (!ConfirmUnsavedValues()) return;
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
