#pragma once

#include <QSizeF>
#include <QString>
#include <QTransform>
#include <optional>

#include "drawing/DrawingHelper.h"

class QPainter;

// A drawing's page under the figures of a report. The page is read by the
// drawing helper, never in Kalvor's own process, and drawn onto the report a
// tile at a time, so that an A1 page at print quality never sits in memory
// as one picture. Calls wait for the helper with a local event loop that
// takes no input from the operator, each at most the helper's time budget:
// a helper that dies or hangs ends the wait with a reason, never a hang.
class ReportDrawingImage {
  public:
    explicit ReportDrawingImage(DrawingHelper& helper) : helper_(helper) {}

    // Opens `page` (from 1) of the drawing at `file`; false with `why`, in
    // the operator's words, when it cannot be read now (gone, changed, a
    // scan that does not say its resolution, the helper failed).
    bool Open(const QString& file, int page, QString& why);
    // The opened page's size on paper, millimetres.
    QSizeF SizeMm() const { return page_ ? page_->sizeMm : QSizeF(); }

    // Draws the opened page through `mmToDevice` (page millimetres to the
    // painter's units; a scale and a shift only) at `dotsPerInch` of the
    // printed sheet, where one millimetre of the page is `printedMm`
    // millimetres of the sheet. Empty when the whole page was drawn, else
    // why some or all of it is missing.
    QString Paint(QPainter& painter, const QTransform& mmToDevice, double printedMm,
                  double dotsPerInch);

  private:
    struct Drawn {
        QImage image;
        DrawingHelper::Failure failure = DrawingHelper::Failure::None;
    };
    // One part of the page, waited for.
    Drawn Render(double pixelsPerMm, const QRect& pixels);

    DrawingHelper& helper_;
    std::optional<DrawingHelper::Page> page_;
};
