// The window's side of the planimeter functions: the keys F7 and F8, the
// question before a sum is dropped, and the setting "同じ図形を測る回数". The
// functions themselves live in the measurement engine.

#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "shell/TabControl.h"
#include "shell/WindowKeys.h"
#include "shell/frmTab.h"

namespace {

// The list index of the count (0 for once), as the other lists are kept.
const QString kRepeatKey = QStringLiteral("cmbKaisu");
constexpr int kMostRepeats = 5;

}  // namespace

void frmTab::FunctionKey(int keyCode, int shift) {
    if (keyCode == kKeyF7) {
        engine_.ArcKey();
    } else if (keyCode == kKeyF8) {
        engine_.SumKey((shift & kShiftBit) != 0);
    }
    // What the key did, or why it did nothing, is said in the figure display.
    FigureChanged();
}

bool frmTab::ConfirmDropSum() {
    if (!engine_.SumHoldsFigures()) return true;
    const auto count = static_cast<int>(engine_.Sum().Entries().size());
    if (!CommonDialog1.Ask(
            QStringLiteral("合算中の図形が %1 個あります。表に入れずに破棄してよろしいですか？")
                .arg(count)))
        return false;
    engine_.DropSum();
    FigureChanged();
    return true;
}

int frmTab::RepeatCount() const {
    return cmbKaisu != nullptr ? std::max(cmbKaisu->currentIndex() + 1, 1) : 1;
}

void frmTab::BuildRepeatCount(QWidget* page) {
    // Below the grid size and fill direction frames, where the design leaves
    // the page free.
    lblKaisu = new QLabel(QStringLiteral("同じ図形を測る回数"), page);
    lblKaisu->setObjectName(QStringLiteral("lblKaisu"));
    lblKaisu->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sstMenu->PlaceOnPage(lblKaisu, {240, 1980, 1935, 300});
    cmbKaisu = new QComboBox(page);
    cmbKaisu->setObjectName(QStringLiteral("cmbKaisu"));
    cmbKaisu->setEditable(false);
    for (int i = 1; i <= kMostRepeats; ++i) cmbKaisu->addItem(QString::number(i));
    cmbKaisu->setCurrentIndex(0);
    cmbKaisu->setToolTip(
        QStringLiteral("2 回以上にすると、図形ごとにその回数だけ測り、平均を表に入れます"));
    sstMenu->PlaceOnPage(cmbKaisu, {2220, 1980, 735, 300});
    connect(cmbKaisu, &QComboBox::currentIndexChanged, this, [this] {
        SettingsChanged();
        FigureChanged();
    });
}

void frmTab::RestoreRepeatCount() {
    bool ok = false;
    const int index =
        settings_.ReadSetting(kWindowSection, kRepeatKey, QStringLiteral("0")).trimmed().toInt(&ok);
    // A value the list cannot take measures each figure once, as without it.
    cmbKaisu->setCurrentIndex(ok && index >= 0 && index < kMostRepeats ? index : 0);
}

void frmTab::WriteRepeatCountSetting() {
    // Kept only once it is in the file or differs from once, so that a file
    // the operator never changed it in keeps the keys it always had.
    const QString value = QString::number(cmbKaisu->currentIndex());
    const bool inFile = !settings_.ReadSetting(kWindowSection, kRepeatKey, QString()).isEmpty();
    if (inFile || value != QLatin1String("0")) settings_.WriteSetting(kWindowSection, kRepeatKey, value);
}
