#include "shell/ScaleDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid/ui/FilteredLineEdit.h"
#include "grid/NumberText.h"

namespace {

// "1 : [box]", with a note after it.
QWidget* RatioRow(FilteredLineEdit* box, const QString& note, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("1 :"), row));
    layout->addWidget(box);
    if (!note.isEmpty()) layout->addWidget(new QLabel(note, row));
    layout->addStretch(1);
    return row;
}

std::optional<double> Number(const FilteredLineEdit* box) { return ParseNumber(box->text()); }

}  // namespace

ScaleDialog::ScaleDialog(const DrawingScale& preset, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgScale"));
    setWindowTitle(QStringLiteral("縮尺から設定"));

    const auto numberBox = [this](const QString& name, double value) {
        auto* box = new FilteredLineEdit(FilterKind::Number, this);
        box->setObjectName(name);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 14);
        if (value > 0.0) box->setText(PlainNumber(value));
        connect(box, &QLineEdit::textChanged, this, [this] { Update(); });
        return box;
    };
    ratio_ = numberBox(QStringLiteral("txtRatio"), preset.ratio);
    counts_ = numberBox(QStringLiteral("txtCounts"), preset.countsPerMm);
    verticalRatio_ =
        numberBox(QStringLiteral("txtVerticalRatio"), preset.verticalRatio.value_or(0.0));

    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("cmbUnit"));
    unit_->addItems(DrawingScale::LengthUnits());
    unit_->setCurrentText(preset.unit);
    areaUnit_ = new QComboBox(this);
    areaUnit_->setObjectName(QStringLiteral("cmbAreaUnit"));
    const auto fillAreaUnits = [this](const QString& chosen) {
        const QSignalBlocker quiet(areaUnit_);
        areaUnit_->clear();
        areaUnit_->addItems(DrawingScale::AreaUnits(unit_->currentText()));
        areaUnit_->setCurrentIndex(std::max(0, areaUnit_->findText(chosen)));
        areaUnit_->setEnabled(areaUnit_->count() > 1);
    };
    fillAreaUnits(preset.areaUnit);
    connect(unit_, &QComboBox::currentIndexChanged, this, [this, fillAreaUnits] {
        fillAreaUnits(areaUnit_->currentText());
        Update();
    });
    connect(areaUnit_, &QComboBox::currentIndexChanged, this, [this] { Update(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("図面の縮尺"), RatioRow(ratio_, QString(), this));
    form->addRow(QStringLiteral("長さの単位"), unit_);
    form->addRow(QStringLiteral("面積の単位"), areaUnit_);
    auto* countsRow = new QWidget(this);
    auto* countsLayout = new QHBoxLayout(countsRow);
    countsLayout->setContentsMargins(0, 0, 0, 0);
    countsLayout->addWidget(counts_);
    countsLayout->addWidget(new QLabel(QStringLiteral("カウント/mm"), countsRow));
    countsLayout->addStretch(1);
    form->addRow(QStringLiteral("タブレットの分解能"), countsRow);
    form->addRow(QStringLiteral("縦の縮尺"),
                 RatioRow(verticalRatio_, QStringLiteral("（空欄なら横と同じ）"), this));

    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("lblScaleResult"));
    result_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(result_);
    layout->addWidget(buttons);
    // Wide enough for the line on the two texts to stay one line.
    setMinimumWidth(
        result_->fontMetrics().horizontalAdvance(QStringLiteral(
            "「基準となる長さ」を 00000、「タブレット上の長さ」を 0000000 にします。")) +
        40);
    ratio_->setFocus();
    Update();
}

DrawingScale ScaleDialog::Scale() const {
    DrawingScale scale;
    scale.ratio = Number(ratio_).value_or(0.0);
    scale.unit = unit_->currentText();
    scale.areaUnit = areaUnit_->currentIndex() > 0 ? areaUnit_->currentText() : QString();
    scale.countsPerMm = Number(counts_).value_or(0.0);
    if (!verticalRatio_->text().trimmed().isEmpty())
        scale.verticalRatio = Number(verticalRatio_).value_or(0.0);
    return scale;
}

void ScaleDialog::Update() {
    const DrawingScale scale = Scale();
    const bool usable = scale.IsUsable();
    ok_->setEnabled(usable);
    if (!usable) {
        result_->setText(QStringLiteral("縮尺と分解能を、0 より大きい数で入れてください。"));
        return;
    }
    QString text = QStringLiteral("「基準となる長さ」を %1、「タブレット上の長さ」を %2 にします。")
                       .arg(scale.ReferenceText(), scale.CountsText());
    if (scale.VerticalFactor() != 1.0)
        text += QStringLiteral("\n縦の長さは %1 倍して計測します。")
                    .arg(PlainNumber(scale.VerticalFactor()));
    result_->setText(text);
}
