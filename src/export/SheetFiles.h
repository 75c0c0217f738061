#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "export/ExportSheet.h"

// What an export wrote: every file, in order, and the first that could not
// be written with why (in the words a failed save gives). The files before
// it are written whole; none after it is tried.
struct ExportResult {
    QStringList written;
    QString failedPath;
    QString reason;
    bool Ok() const { return failedPath.isEmpty(); }
};

// One file per sheet: the operator names one file; a single sheet is
// written under that name, several under that name with what each shows
// added before the extension ("plan-p2.svg", "plan-A1-p3.svg" when pages
// of several drawings are exported, "plan-pad.svg", "plan-tablet.svg"), so
// that each file lays over its own page.
class SheetFiles {
  public:
    static QStringList Names(const QString& chosen, const std::vector<ExportSheet>& sheets);
    // Writes each sheet's bytes through the atomic writer, following a link
    // the operator chose as the save does.
    static ExportResult Write(const QString& chosen, const std::vector<ExportSheet>& sheets,
                              const std::function<QByteArray(const ExportSheet&)>& bytes);
};
