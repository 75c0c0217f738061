// The scale from a drawing's ratio and unit, and the vertical factor of a
// cross-section drawn at another scale up than across.

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "grid/ui/FilteredLineEdit.h"
#include "grid/NumberText.h"
#include "shell/frmTab.h"

namespace {

const QString kSection = QStringLiteral("frmTab");
// Written only once the operator has used them: an old settings file reads
// as before and gains no key.
const QString kRatioKey = QStringLiteral("ScaleRatio");
const QString kUnitKey = QStringLiteral("ScaleUnit");
const QString kAreaUnitKey = QStringLiteral("ScaleAreaUnit");
const QString kCountsKey = QStringLiteral("ScaleCounts");
const QString kVerticalRatioKey = QStringLiteral("ScaleVerticalRatio");
const QString kVerticalFactorKey = QStringLiteral("VerticalFactor");

bool Positive(std::optional<double> value) { return value && *value > 0.0; }

}  // namespace

void frmTab::cmdScaleRatio_Click() {
    DrawingScale preset = drawingScale_;
    // What the device says of itself comes before what was typed last time.
    if (tabletCountsPerMm_ > 0.0) preset.countsPerMm = tabletCountsPerMm_;
    const std::optional<DrawingScale> chosen = CommonDialog1.ChooseScale(preset);
    if (!chosen || !chosen->IsUsable()) return;
    drawingScale_ = *chosen;
    scaleChosen_ = true;
    verticalFactor_ = chosen->VerticalFactor();
    txtInput[0]->setText(chosen->ReferenceText());
    txtInput[3]->setText(chosen->CountsText());
    WriteDrawingScale();
    UpdateVerticalLine();
    FigureChanged();
}

void frmTab::cmdScaleVertical_Click() {
    engine_.StartVerticalCalibration();
    FigureChanged();
}

void frmTab::SetVerticalFactor(double factor) {
    verticalFactor_ = factor;
    // The ratio up that the factor stands for, where the ratio across is
    // known: the box shows it next time.
    if (drawingScale_.ratio > 0.0) drawingScale_.verticalRatio = factor * drawingScale_.ratio;
    WriteDrawingScale();
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

bool frmTab::ScaleUnitApplies() const {
    return scaleChosen_ && txtInput[0]->text() == drawingScale_.ReferenceText();
}

double frmTab::AreaFactor() const { return ScaleUnitApplies() ? drawingScale_.AreaFactor() : 1.0; }

QString frmTab::LengthUnit() const {
    return ScaleUnitApplies() ? drawingScale_.LengthLabel() : QString();
}

QString frmTab::AreaUnit() const {
    return ScaleUnitApplies() ? drawingScale_.AreaLabel() : QString();
}

void frmTab::UpdateVerticalLine() {
    const bool separate = verticalFactor_ != 1.0;
    lblVertical->setVisible(separate);
    if (!separate) return;
    lblVertical->setText(
        QStringLiteral("※縦横別縮尺\n縦 × %1").arg(QString::number(verticalFactor_, 'g', 6)));
}

void frmTab::RestoreDrawingScale() {
    const auto read = [this](const QString& key) {
        return settings_.ReadSetting(kSection, key, QString());
    };
    const std::optional<double> ratio = ParseNumber(read(kRatioKey));
    const QString unit = read(kUnitKey);
    if (Positive(ratio) && DrawingScale::LengthUnits().contains(unit)) {
        drawingScale_.ratio = *ratio;
        drawingScale_.unit = unit;
        const QString areaUnit = read(kAreaUnitKey);
        if (DrawingScale::AreaUnits(unit).contains(areaUnit)) drawingScale_.areaUnit = areaUnit;
        scaleChosen_ = true;
    }
    if (const std::optional<double> counts = ParseNumber(read(kCountsKey)); Positive(counts))
        drawingScale_.countsPerMm = *counts;
    if (const std::optional<double> up = ParseNumber(read(kVerticalRatioKey)); Positive(up))
        drawingScale_.verticalRatio = *up;
    if (const std::optional<double> factor = ParseNumber(read(kVerticalFactorKey));
        Positive(factor))
        verticalFactor_ = *factor;
    UpdateVerticalLine();
}

void frmTab::WriteDrawingScale() {
    const bool inFile = !settings_.ReadSetting(kSection, kVerticalFactorKey, QString()).isEmpty();
    if (!scaleChosen_ && verticalFactor_ == 1.0 && !inFile) return;
    const auto write = [this](const QString& key, const QString& value) {
        settings_.WriteSetting(kSection, key, value);
    };
    settings_.BeginBatch();
    if (scaleChosen_) {
        write(kRatioKey, PlainNumber(drawingScale_.ratio));
        write(kUnitKey, drawingScale_.unit);
        write(kAreaUnitKey, drawingScale_.areaUnit);
        write(kCountsKey, PlainNumber(drawingScale_.countsPerMm));
        write(kVerticalRatioKey,
              drawingScale_.verticalRatio ? PlainNumber(*drawingScale_.verticalRatio) : QString());
    }
    write(kVerticalFactorKey, PlainNumber(verticalFactor_));
    settings_.EndBatch();
}
