#include "pad/QtPadDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Kalvor");

}  // namespace

QString QtPadDialogs::OpenDrawingName(const QString& filter, const QString& folder) {
    return QFileDialog::getOpenFileName(parent_, QStringLiteral("図面を開く"), folder, filter);
}

std::optional<int> QtPadDialogs::ChoosePage(const QString& fileName, int pages) {
    bool ok = false;
    const int page = QInputDialog::getInt(
        parent_, kTitle,
        QStringLiteral("「%1」には %2 ページあります。\n開くページ：").arg(fileName).arg(pages), 1,
        1, pages, 1, &ok);
    return ok ? std::optional<int>(page) : std::nullopt;
}

std::optional<int> QtPadDialogs::AskDpi(const QString& fileName, int proposed) {
    bool ok = false;
    const int dpi = QInputDialog::getInt(parent_, kTitle,
                                         QStringLiteral("「%1」には解像度の記録がありません。\n"
                                                        "スキャンしたときの解像度（dpi）：")
                                             .arg(fileName),
                                         proposed, static_cast<int>(kLowestDpi),
                                         static_cast<int>(kHighestDpi), 1, &ok);
    return ok ? std::optional<int>(dpi) : std::nullopt;
}

void QtPadDialogs::Notify(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}
