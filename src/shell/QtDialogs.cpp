#include "shell/QtDialogs.h"

#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "shell/FigureExportDialog.h"
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
// A box's first line (a file name and what happened to it) is not wrapped
// inside a word where the screen has room for it whole: Japanese text may
// wrap between any two characters.
void KeepFirstLineWhole(QMessageBox& box, const QString& text) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) return;
    const int first = label->fontMetrics().horizontalAdvance(text.section(QLatin1Char('\n'), 0, 0));
    const QScreen* screen = box.screen();
    const int room = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : 800;
    label->setMinimumWidth(std::min(first + 8, room));
}

// Qt's own file dialog opens too narrow for its detail columns: sizes and
// dates were cut. Wide enough for them, where the screen allows.
void FitColumns(QFileDialog& dialog) {
    const QScreen* screen = dialog.screen();
    const QSize room = screen != nullptr ? screen->availableGeometry().size() : QSize(1024, 768);
    const int width = std::min(room.width() * 9 / 10, dialog.fontMetrics().averageCharWidth() * 110);
    const int height = std::min(room.height() * 8 / 10, dialog.fontMetrics().height() * 32);
    dialog.resize(std::max(dialog.sizeHint().width(), width),
                  std::max(dialog.sizeHint().height(), height));
}

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
    KeepFirstLineWhole(box, text);
    box.exec();
}

QString QtDialogs::SaveFileName(const QString& filter, const QString& preset,
                                const QString& startFolder, const QString& defaultSuffix,
                                const QString& proposedName) {
    // The dialog itself adds the suffix, so that it also asks before
    // overwriting the file of the completed name.
    QFileDialog dialog(parent_, QString(), Opening(preset, startFolder), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (preset.isEmpty() && !proposedName.isEmpty()) dialog.selectFile(proposedName);
    FitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return preset;
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::OpenFileName(const QString& filter, const QString& preset,
                                const QString& startFolder) {
    QFileDialog dialog(parent_, QString(), Opening(preset, startFolder), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    FitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return preset;
    return dialog.selectedFiles().constFirst();
}

std::optional<DrawingScale> QtDialogs::ChooseScale(const DrawingScale& preset) {
    ScaleDialog dialog(preset, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Scale();
}

std::optional<FigureExportChoice> QtDialogs::ChooseFigureExport(const FigureExportChoice& preset,
                                                                int allFigures,
                                                                int selectedFigures) {
    FigureExportDialog dialog(preset, allFigures, selectedFigures, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}
