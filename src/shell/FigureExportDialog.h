#pragma once

#include <QDialog>
#include <array>

#include "shell/FigureExportChoice.h"

class QRadioButton;

// The box "図形の書き出し": the format (SVG over the drawing's pages, DXF for
// CAD programs, a PDF report on A4 or A3), and whether all kept figures are
// written or only the selected cells'.
class FigureExportDialog : public QDialog {
    Q_OBJECT
  public:
    FigureExportDialog(const FigureExportChoice& preset, int allFigures, int selectedFigures,
                       QWidget* parent = nullptr);

    FigureExportChoice Choice() const;

  private:
    std::array<QRadioButton*, 4> format_{};
    QRadioButton* all_ = nullptr;
    QRadioButton* selected_ = nullptr;
};
