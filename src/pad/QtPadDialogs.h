#pragma once

#include "pad/PadDialogs.h"

class QWidget;

// The pad's boxes as Qt dialogs over the pad, titled "Kalvor" like the main
// window's, without icons.
class QtPadDialogs : public PadDialogs {
  public:
    explicit QtPadDialogs(QWidget* parent) : parent_(parent) {}

    QString OpenDrawingName(const QString& filter, const QString& folder) override;
    std::optional<int> ChoosePage(const QString& fileName, int pages) override;
    std::optional<int> AskDpi(const QString& fileName, int proposed) override;
    void Notify(const QString& text) override;

  private:
    QWidget* parent_;
};
