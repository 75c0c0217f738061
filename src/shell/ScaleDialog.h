#pragma once

#include <QDialog>

#include "measure/DrawingScale.h"

class FilteredLineEdit;
class QComboBox;
class QLabel;
class QPushButton;

// The box "縮尺から設定": the drawing's scale 1 : N, the unit of the results
// (and, with metres, of areas), the tablet's counts per millimetre, and a
// vertical scale 1 : M for a cross-section. OK is offered only for a usable
// scale; it then says which two scale texts it will write.
class ScaleDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ScaleDialog(const DrawingScale& preset, QWidget* parent = nullptr);

    // What the boxes hold now.
    DrawingScale Scale() const;

  private:
    void Update();

    FilteredLineEdit* ratio_ = nullptr;
    QComboBox* unit_ = nullptr;
    QComboBox* areaUnit_ = nullptr;
    FilteredLineEdit* counts_ = nullptr;
    FilteredLineEdit* verticalRatio_ = nullptr;
    QLabel* result_ = nullptr;
    QPushButton* ok_ = nullptr;
};
