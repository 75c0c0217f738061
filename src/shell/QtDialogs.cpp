#include "shell/QtDialogs.h"

#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "shell/ScaleDialog.h"

namespace {

const QString kTitle = QStringLiteral("Kalvor");

// Quits a loop once the window it watches is on the screen.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow* window, QEventLoop& loop) : window_(window), loop_(loop) {
        window_->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed()) loop_.quit();
        return false;
    }

private:
    QWindow* window_;
    QEventLoop& loop_;
};

// A notice given as the program starts (the window shown, not yet on the
// screen) waits until the window is there: the operator sees the program
// come up, with the box over it, and the box does not hold up the window.
// A second at most, for a platform that never tells.
void WaitUntilOnScreen(QWidget* parent) {
    if (parent == nullptr || !parent->isVisible()) return;
    QWindow* window = parent->window()->windowHandle();
    if (window == nullptr || window->isExposed()) return;
    QEventLoop loop;
    const ExposeWatch watch(window, loop);
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
}

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
    WaitUntilOnScreen(parent_);
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
