#include "QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
const QString kTitle = QStringLiteral("Kalvor");
}

bool QtDialogs::Ask(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::Notify(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtDialogs::SaveFileName(const QString& filter, const QString& preset) {
    // Asks before overwriting (Qt's default); no default suffix is set, so a
    // name typed without extension is used as typed.
    const QString chosen = QFileDialog::getSaveFileName(parent_, QString(), preset, filter);
    return chosen.isEmpty() ? preset : chosen;
}

QString QtDialogs::OpenFileName(const QString& filter, const QString& preset) {
    const QString chosen = QFileDialog::getOpenFileName(parent_, QString(), preset, filter);
    return chosen.isEmpty() ? preset : chosen;
}
