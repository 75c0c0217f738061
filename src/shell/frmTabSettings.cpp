// The window's settings: read at start-up into the controls, written a
// short pause after the operator changes one, and all of them at a normal
// exit with the window's place.

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTimer>

#include "grid/Twips.h"
#include "grid/ui/FilteredLineEdit.h"
#include "shell/frmTab.h"

namespace {

#ifdef Q_OS_WIN
const QString kDefaultWavFile = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");
#else
// Elsewhere that path names nothing: the program's own click, built in.
const QString kDefaultWavFile = QStringLiteral(":/sounds/capture.wav");
#endif
const QString kPenGrabKey = QStringLiteral("chkPenGrab");

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

void frmTab::SettingsChanged() {
    // The restore at start-up sets the controls too: nothing to write then.
    if (loaded_ && !unloaded_) settingsTimer_->start();
}

int frmTab::ReadIndexSetting(const QString& key, int defaultValue, int lowest, int highest) {
    const QString text =
        settings_.ReadSettingOrDefault(kWindowSection, key, QString::number(defaultValue));
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
            kWindowSection, QStringLiteral("txtInput %1").arg(i), defaults[i]));
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
        settings_.ReadSettingOrDefault(kWindowSection, QStringLiteral("sWavFile"), kDefaultWavFile);
    // Beyond the design's keys: read without writing their defaults back.
    sSaveFolder = settings_.ReadSetting(kWindowSection, QStringLiteral("sSaveFolder"), QString());
    chkPenGrab->setChecked(settings_.ReadSetting(kWindowSection, kPenGrabKey,
                                                 QStringLiteral("1")) != QLatin1String("0"));
    scale_.Restore();
    RestoreRepeatCount();
    UpdateVerticalLine();
}

void frmTab::SaveSettings() {
    auto write = [this](const QString& key, const QString& value) {
        settings_.WriteSetting(kWindowSection, key, value);
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
        settings_.WriteSetting(kWindowSection, key, value);
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
    scale_.Write();
    WriteRepeatCountSetting();
    settings_.EndBatch();
}

void frmTab::WritePenGrabSetting() {
    const QString value = chkPenGrab->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    const bool inFile = !settings_.ReadSetting(kWindowSection, kPenGrabKey, QString()).isEmpty();
    if (inFile || value != QLatin1String("1"))
        settings_.WriteSetting(kWindowSection, kPenGrabKey, value);
}
