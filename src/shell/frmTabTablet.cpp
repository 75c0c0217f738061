// The window's side of the tablet beyond its points: the pen held for the
// measurement while it runs, and what the library tells of the tablet.

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>

#include "shell/frmTab.h"

namespace {

// After the edition's notice in the title, while no tablet is there.
const QString kTabletGone = QStringLiteral("   ※タブレットが外されました");

}  // namespace

void frmTab::ApplicationActivated(bool active) {
    appActive_ = active;
    UpdatePenHold();
}

void frmTab::UpdatePenHold() {
    const bool wanted = loaded_ && !unloaded_ && appActive_ && engine_.lMesMode != kMesNone &&
                        chkPenGrab != nullptr && chkPenGrab->isChecked();
    if (wanted == penHeld_) return;
    penHeld_ = wanted;
    const bool held = tablet_.SetPenExclusive(wanted);
    if (wanted && !held) {
        // Measuring goes on; the operator must know that a tap also works
        // whatever is under the screen's pointer.
        SetTabletNotice(QStringLiteral("ペンを計測だけに使えません（他のプログラムがタブレットを"
                                       "使っています）。タップは画面上の操作にもなります"),
                        NoticeLasts::UntilRunEnds);
    } else if (!wanted && tabletNoticeLasts_ == NoticeLasts::UntilRunEnds &&
               engine_.lMesMode == kMesNone) {
        SetTabletNotice(QString(), NoticeLasts::UntilNextPoint);
    }
}

void frmTab::TabletNoticed(const TabletNotice& notice) {
    switch (notice.kind) {
        case TabletNotice::Kind::Unplugged:
            tabletGone_ = true;
            UpdateTitle();
            SetTabletNotice(notice.text, NoticeLasts::UntilTabletBack);
            break;
        case TabletNotice::Kind::PluggedIn:
            tabletGone_ = false;
            UpdateTitle();
            if (notice.axes) {
                tabletCountsPerMm_ = notice.axes->CommonResolution();
                const QString line = notice.axes->ResolutionLine();
                lblResolution->setText(line);
                lblResolution->setVisible(!line.isEmpty());
            }
            SetTabletNotice(notice.text, NoticeLasts::UntilNextPoint);
            break;
        case TabletNotice::Kind::PointLost:
            SetTabletNotice(notice.text, NoticeLasts::UntilNextPoint);
            break;
        case TabletNotice::Kind::NothingPlayed:
            SetTabletNotice(notice.text, NoticeLasts::ForGood);
            break;
    }
}

void frmTab::SetTabletNotice(const QString& text, NoticeLasts lasts) {
    tabletNotice_ = text;
    tabletNoticeLasts_ = lasts;
    FigureChanged();
}

void frmTab::UpdateTitle() {
    setWindowTitle(title_ + (tabletGone_ ? kTabletGone : QString()) + autosave_.Problem());
}
