#include "QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ScaleDialog.h"

namespace {

const QString kTitle = QStringLiteral("Kalvor");

// Where the dialog opens: on the preset when there is one, else in the
// folder given.
QString Opening(const QString& preset, const QString& startFolder) {
    return preset.isEmpty() ? startFolder : preset;
}

}  // namespace

bool QtDialogs::Ask(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::AskYesNoCancel(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void QtDialogs::Notify(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtDialogs::SaveFileName(const QString& filter, const QString& preset,
                                const QString& startFolder, const QString& defaultSuffix) {
    // The dialog itself adds the suffix, so that it also asks before
    // overwriting the file of the completed name.
    QFileDialog dialog(parent_, QString(), Opening(preset, startFolder), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return preset;
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::OpenFileName(const QString& filter, const QString& preset,
                                const QString& startFolder) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent_, QString(), Opening(preset, startFolder), filter);
    return chosen.isEmpty() ? preset : chosen;
}

std::optional<DrawingScale> QtDialogs::ChooseScale(const DrawingScale& preset) {
    ScaleDialog dialog(preset, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Scale();
}
