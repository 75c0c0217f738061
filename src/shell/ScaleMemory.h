#pragma once

#include <QString>

#include "measure/DrawingScale.h"

class Common;

// The scale the operator set from a drawing's ratio and unit, and the factor
// every vertical distance is multiplied by (a cross-section drawn at another
// scale up than across), as the settings file keeps them. Their keys are
// written only once the operator has used them: an old settings file reads
// as before and gains no key.
class ScaleMemory {
  public:
    explicit ScaleMemory(Common& settings) : settings_(settings) {}

    // What the file holds; a missing or unusable value keeps the default.
    void Restore();
    // What is set now, in one write of the file.
    void Write();

    // The scale confirmed in the dialog: its vertical factor too.
    void Choose(const DrawingScale& scale);
    // A factor measured on the drawing; the vertical ratio it stands for,
    // where the ratio across is known.
    void SetVerticalFactor(double factor);

    // The last scale confirmed, or what the dialog starts from.
    const DrawingScale& Scale() const { return scale_; }
    double VerticalFactor() const { return verticalFactor_; }
    // The unit chosen with the ratio still names the results: the reference
    // length the window measures with is the one the ratio gave.
    bool UnitApplies(const QString& referenceText) const {
        return chosen_ && referenceText == scale_.ReferenceText();
    }
    // The warning on the scale page while vertical distances are multiplied
    // by a factor; empty while they are not.
    QString VerticalLine() const;

  private:
    Common& settings_;
    DrawingScale scale_;
    bool chosen_ = false;
    double verticalFactor_ = 1.0;
};
