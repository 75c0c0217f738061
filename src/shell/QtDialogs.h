#pragma once

#include "shell/Dialogs.h"

class QWidget;

// Message boxes and file dialogs through Qt widgets, titled "Kalvor".
class QtDialogs : public Dialogs {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }

    bool Ask(const QString& text) override;
    Answer AskYesNoCancel(const QString& text) override;
    void Notify(const QString& text) override;
    QString SaveFileName(const QString& filter, const QString& preset, const QString& startFolder,
                         const QString& defaultSuffix, const QString& proposedName) override;
    QString OpenFileName(const QString& filter, const QString& preset,
                         const QString& startFolder) override;
    std::optional<DrawingScale> ChooseScale(const DrawingScale& preset) override;
    std::optional<FigureExportChoice> ChooseFigureExport(const FigureExportChoice& preset,
                                                         int allFigures,
                                                         int selectedFigures) override;

  private:
    QWidget* parent_ = nullptr;
};
