#include "shell/FigureExportDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

FigureExportDialog::FigureExportDialog(const FigureExportChoice& preset, int allFigures,
                                       int selectedFigures, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFigureExport"));
    setWindowTitle(QStringLiteral("図形の書き出し"));
    auto* layout = new QVBoxLayout(this);

    auto* formats = new QGroupBox(QStringLiteral("形式"), this);
    auto* formatLayout = new QVBoxLayout(formats);
    const char* const captions[] = {
        "SVG（図面のページに重ねる図形、紙のミリメートル）",
        "DXF（CAD 用、縮尺の単位）",
        "PDF のレポート（A4）",
        "PDF のレポート（A3）",
    };
    for (std::size_t i = 0; i < format_.size(); ++i) {
        format_[i] = new QRadioButton(QString::fromUtf8(captions[i]), formats);
        format_[i]->setObjectName(QStringLiteral("optExportFormat_%1").arg(i));
        formatLayout->addWidget(format_[i]);
    }
    format_[static_cast<std::size_t>(preset.format)]->setChecked(true);
    layout->addWidget(formats);

    auto* scope = new QGroupBox(QStringLiteral("書き出す図形"), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    all_ = new QRadioButton(QStringLiteral("すべての図形（%1 個）").arg(allFigures), scope);
    all_->setObjectName(QStringLiteral("optExportAll"));
    selected_ =
        new QRadioButton(QStringLiteral("選択したセルの図形（%1 個）").arg(selectedFigures), scope);
    selected_->setObjectName(QStringLiteral("optExportSelected"));
    selected_->setEnabled(selectedFigures > 0);
    (preset.selectedOnly && selectedFigures > 0 ? selected_ : all_)->setChecked(true);
    scopeLayout->addWidget(all_);
    scopeLayout->addWidget(selected_);
    layout->addWidget(scope);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

FigureExportChoice FigureExportDialog::Choice() const {
    FigureExportChoice choice;
    for (std::size_t i = 0; i < format_.size(); ++i)
        if (format_[i]->isChecked()) choice.format = static_cast<FigureExportChoice::Format>(i);
    choice.selectedOnly = selected_->isChecked();
    return choice;
}
