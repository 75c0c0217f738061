#pragma once

#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

#include "grid/CellRange.h"
#include "shell/FigureExportChoice.h"

class Dialogs;
class GridModel;

// "図形の書き出し…", on the pad and on the page "その他の設定": asks what to
// write (Dialogs::ChooseFigureExport) and where (the save dialog, with a
// name proposed), writes the kept figures as SVG, DXF or a PDF report, and
// tells what it wrote, or why it could not, in the words "ファイル保存" uses.
// With no figure to write it says so and writes nothing.
class FigureExportCommand {
  public:
    struct Context {
        // The selected cells, as the grid numbers them.
        std::function<CellRange()> selection;
        // Where the save dialog opens the first time.
        std::function<QString()> startFolder;
        // The size of a drawing's page in millimetres, where it is known.
        std::function<std::optional<QSizeF>(const QString& file, int page)> pageSize;
    };

    FigureExportCommand(const GridModel& grid, Dialogs& dialogs, Context context);

    void Run();

  private:
    const GridModel& grid_;
    Dialogs& dialogs_;
    Context context_;
    // What the operator chose last, offered again; the folder written to.
    FigureExportChoice last_;
    QString folder_;
};
