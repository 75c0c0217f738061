#include "shell/ScaleMemory.h"

#include "grid/NumberText.h"
#include "shell/Common.h"

namespace {

const QString kRatioKey = QStringLiteral("ScaleRatio");
const QString kUnitKey = QStringLiteral("ScaleUnit");
const QString kAreaUnitKey = QStringLiteral("ScaleAreaUnit");
const QString kCountsKey = QStringLiteral("ScaleCounts");
const QString kVerticalRatioKey = QStringLiteral("ScaleVerticalRatio");
const QString kVerticalFactorKey = QStringLiteral("VerticalFactor");

bool Positive(std::optional<double> value) { return value && *value > 0.0; }

}  // namespace

void ScaleMemory::Restore() {
    const auto read = [this](const QString& key) {
        return settings_.ReadSetting(kWindowSection, key, QString());
    };
    const std::optional<double> ratio = ParseNumber(read(kRatioKey));
    const QString unit = read(kUnitKey);
    if (Positive(ratio) && DrawingScale::LengthUnits().contains(unit)) {
        scale_.ratio = *ratio;
        scale_.unit = unit;
        const QString areaUnit = read(kAreaUnitKey);
        if (DrawingScale::AreaUnits(unit).contains(areaUnit)) scale_.areaUnit = areaUnit;
        chosen_ = true;
    }
    if (const std::optional<double> counts = ParseNumber(read(kCountsKey)); Positive(counts))
        scale_.countsPerMm = *counts;
    if (const std::optional<double> up = ParseNumber(read(kVerticalRatioKey)); Positive(up))
        scale_.verticalRatio = *up;
    if (const std::optional<double> factor = ParseNumber(read(kVerticalFactorKey));
        Positive(factor))
        verticalFactor_ = *factor;
}

void ScaleMemory::Write() {
    const bool inFile =
        !settings_.ReadSetting(kWindowSection, kVerticalFactorKey, QString()).isEmpty();
    if (!chosen_ && verticalFactor_ == 1.0 && !inFile) return;
    const auto write = [this](const QString& key, const QString& value) {
        settings_.WriteSetting(kWindowSection, key, value);
    };
    settings_.BeginBatch();
    if (chosen_) {
        write(kRatioKey, PlainNumber(scale_.ratio));
        write(kUnitKey, scale_.unit);
        write(kAreaUnitKey, scale_.areaUnit);
        write(kCountsKey, PlainNumber(scale_.countsPerMm));
        write(kVerticalRatioKey,
              scale_.verticalRatio ? PlainNumber(*scale_.verticalRatio) : QString());
    }
    write(kVerticalFactorKey, PlainNumber(verticalFactor_));
    settings_.EndBatch();
}

void ScaleMemory::Choose(const DrawingScale& scale) {
    scale_ = scale;
    chosen_ = true;
    verticalFactor_ = scale.VerticalFactor();
}

void ScaleMemory::SetVerticalFactor(double factor) {
    verticalFactor_ = factor;
    if (scale_.ratio > 0.0) scale_.verticalRatio = factor * scale_.ratio;
}

QString ScaleMemory::VerticalLine() const {
    if (verticalFactor_ == 1.0) return {};
    return QStringLiteral("※縦横別縮尺\n縦 × %1").arg(QString::number(verticalFactor_, 'g', 6));
}
