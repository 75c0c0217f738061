// The window's side of the measurement engine (MeasureHost): what the engine
// reads from the controls, and what it shows in them.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

#include "grid/Mei.h"
#include "grid/ui/FilteredLineEdit.h"
#include "grid/ui/MeiGridView.h"
#include "shell/ReceivedPointList.h"
#include "shell/frmTab.h"

QString frmTab::ReferenceLengthText() const { return txtInput[0]->text(); }

QString frmTab::TabletCountsText() const { return txtInput[3]->text(); }

int frmTab::SelectedMeasurement() const {
    for (int i = 0; i < edition_.MeasurementCount(); ++i)
        if (optMes[i]->isChecked()) return i;
    return -1;
}

int frmTab::TwoPointAxis() const { return cmbNiten->currentIndex(); }

QString frmTab::TwoPointAxisText() const { return cmbNiten->currentText(); }

bool frmTab::NextPointIsOrigin() const {
    return chkOrgPos != nullptr && chkOrgPos->checkState() == Qt::Checked;
}

void frmTab::SetNextPointIsOrigin(bool ticked) {
    if (chkOrgPos != nullptr) chkOrgPos->setChecked(ticked);
}

bool frmTab::InvertX() const {
    return chkZahyo[0] != nullptr && chkZahyo[0]->checkState() == Qt::Checked;
}

bool frmTab::InvertY() const {
    return chkZahyo[1] != nullptr && chkZahyo[1]->checkState() == Qt::Checked;
}

void frmTab::MoveCursor(int dCol, int dRow, int step) {
    int col = grid_.Col() + dCol;
    int row = grid_.Row() + dRow;
    Mei::AdvanceCursor(*msgMei, col, row, step);
}

void frmTab::FocusGrid() { msgMei->SetFocus(); }

void frmTab::SetStartEnabled(bool enabled) {
    cmdMes[0]->setEnabled(enabled);
    cmdMes[1]->setEnabled(!enabled);
}

void frmTab::SetGuidance(const QString& text) { lblMesHelp->setText(text); }

void frmTab::SetOriginBoxVisible(bool visible) {
    if (chkOrgPos != nullptr) chkOrgPos->setVisible(visible);
}

void frmTab::SetCalibrationNoticeVisible(bool visible) { lblMsg[0]->setVisible(visible); }

void frmTab::SetTabletCountsText(const QString& text) { txtInput[3]->setText(text); }

void frmTab::ListReceivedPoint(std::int32_t logX, std::int32_t logY) {
    receivedPoints_->Append(logX, logY);
}

void frmTab::PlayCaptureSound() {
    MMControl1.Prev();
    MMControl1.Play();
}
