// The scale from a drawing's ratio and unit, and the vertical factor of a
// cross-section drawn at another scale up than across: the buttons, the
// engine's calibration, and the units the results are read in. The settings
// keep them through ScaleMemory.

#include <QLabel>
#include <QTimer>

#include "grid/ui/FilteredLineEdit.h"
#include "shell/frmTab.h"

void frmTab::cmdScaleRatio_Click() {
    DrawingScale preset = scale_.Scale();
    // What the device says of itself comes before what was typed last time.
    if (tabletCountsPerMm_ > 0.0) preset.countsPerMm = tabletCountsPerMm_;
    const std::optional<DrawingScale> chosen = CommonDialog1.ChooseScale(preset);
    if (!chosen || !chosen->IsUsable()) return;
    scale_.Choose(*chosen);
    txtInput[0]->setText(chosen->ReferenceText());
    txtInput[3]->setText(chosen->CountsText());
    scale_.Write();
    UpdateVerticalLine();
    FigureChanged();
}

void frmTab::cmdScaleVertical_Click() {
    engine_.StartVerticalCalibration();
    FigureChanged();
}

void frmTab::SetVerticalFactor(double factor) {
    // The ratio up that the factor stands for, where the ratio across is
    // known: the box shows it next time.
    scale_.SetVerticalFactor(factor);
    scale_.Write();
    UpdateVerticalLine();
    FigureChanged();
}

void frmTab::VerticalCalibrationFailed() {
    // Inside the tablet's notification: the box waits for the loop.
    QTimer::singleShot(0, this, [this] {
        CommonDialog1.Notify(
            QStringLiteral("縦の長さを計測できませんでした。「基準となる長さ」だけ縦に離れた"
                           "２点をクリックしてください。"));
    });
}

double frmTab::AreaFactor() const {
    return scale_.UnitApplies(txtInput[0]->text()) ? scale_.Scale().AreaFactor() : 1.0;
}

QString frmTab::LengthUnit() const {
    return scale_.UnitApplies(txtInput[0]->text()) ? scale_.Scale().LengthLabel() : QString();
}

QString frmTab::AreaUnit() const {
    return scale_.UnitApplies(txtInput[0]->text()) ? scale_.Scale().AreaLabel() : QString();
}

void frmTab::UpdateVerticalLine() {
    const QString line = scale_.VerticalLine();
    lblVertical->setVisible(!line.isEmpty());
    if (!line.isEmpty()) lblVertical->setText(line);
}
