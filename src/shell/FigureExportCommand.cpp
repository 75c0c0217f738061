#include "shell/FigureExportCommand.h"

#include <QDate>
#include <QFileInfo>
#include <QStringList>

#include "export/DxfExport.h"
#include "export/FigureReport.h"
#include "export/GridFigures.h"
#include "export/SheetFiles.h"
#include "export/SvgExport.h"
#include "shell/Dialogs.h"

namespace {

struct FormatFiles {
    const char* filter;
    const char* suffix;
};

FormatFiles FilesOf(FigureExportChoice::Format format) {
    switch (format) {
        case FigureExportChoice::Format::Svg:
            return {"SVGファイル (*.svg)", "svg"};
        case FigureExportChoice::Format::Dxf:
            return {"DXFファイル (*.dxf)", "dxf"};
        case FigureExportChoice::Format::PdfA4:
        case FigureExportChoice::Format::PdfA3:
            return {"PDFファイル (*.pdf)", "pdf"};
    }
    return {"SVGファイル (*.svg)", "svg"};
}

}  // namespace

FigureExportCommand::FigureExportCommand(const GridModel& grid, Dialogs& dialogs, Context context)
    : grid_(grid), dialogs_(dialogs), context_(std::move(context)) {}

void FigureExportCommand::Run() {
    const std::vector<CellFigure> all = GridFigures::All(grid_);
    if (all.empty()) {
        dialogs_.Notify(
            QStringLiteral("書き出す図形がありません。図形は、タブレットや仮想タブレットで"
                           "計測した値とともに残ります。"));
        return;
    }
    const std::vector<CellFigure> selected = context_.selection
                                                 ? GridFigures::In(grid_, context_.selection())
                                                 : std::vector<CellFigure>{};
    const std::optional<FigureExportChoice> choice = dialogs_.ChooseFigureExport(
        last_, static_cast<int>(all.size()), static_cast<int>(selected.size()));
    if (!choice) return;
    last_ = *choice;
    const std::vector<CellFigure>& figures = choice->selectedOnly ? selected : all;
    if (figures.empty()) {
        dialogs_.Notify(QStringLiteral("選択したセルには、書き出す図形がありません。"));
        return;
    }

    const FormatFiles files = FilesOf(choice->format);
    const QString suffix = QString::fromLatin1(files.suffix);
    if (folder_.isEmpty() && context_.startFolder) folder_ = context_.startFolder();
    QString name = dialogs_.SaveFileName(
        QString::fromUtf8(files.filter), QString(), folder_, suffix,
        QStringLiteral("図形_%1.%2").arg(QDate::currentDate().toString(Qt::ISODate), suffix));
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QLatin1Char('.') + suffix;

    ExportResult result;
    const bool pdf = choice->format == FigureExportChoice::Format::PdfA4 ||
                     choice->format == FigureExportChoice::Format::PdfA3;
    if (pdf) {
        QString reason;
        const ReportPaper paper =
            choice->format == FigureExportChoice::Format::PdfA3 ? ReportPaper::A3 : ReportPaper::A4;
        if (FigureReport::Write(name, figures, paper, &reason)) {
            result.written << name;
        } else {
            result.failedPath = name;
            result.reason = reason;
        }
    } else {
        // The save dialog asked about the chosen name only: the others a
        // page each adds are asked about here, before any is written.
        QStringList existing;
        const QStringList names = SheetFiles::Names(name, ExportSheet::Of(figures));
        for (const QString& other : names)
            if (other != name && QFileInfo::exists(other)) existing << other;
        if (!existing.isEmpty() &&
            !dialogs_.Ask(QStringLiteral("次のファイルは既にあります。上書きしますか？\n") +
                          existing.join(QLatin1Char('\n'))))
            return;
        result = choice->format == FigureExportChoice::Format::Svg
                     ? SvgExport::Write(name, figures, context_.pageSize)
                     : DxfExport::Write(name, figures);
    }

    if (!result.written.isEmpty()) folder_ = QFileInfo(result.written.front()).absolutePath();
    if (!result.Ok()) {
        QString text = result.failedPath + QStringLiteral("に、ファイル保存できませんでした。\n") +
                       result.reason;
        if (!result.written.isEmpty())
            text += QStringLiteral("\n\n書き出したファイル：\n") +
                    result.written.join(QLatin1Char('\n'));
        dialogs_.Notify(text);
        return;
    }
    if (result.written.size() == 1) {
        dialogs_.Notify(result.written.front() + QStringLiteral("に、ファイル保存しました。"));
        return;
    }
    // A file per page: each named, so the operator finds them all.
    dialogs_.Notify(QStringLiteral("次の %1 個のファイルに、ファイル保存しました。\n")
                        .arg(result.written.size()) +
                    result.written.join(QLatin1Char('\n')));
}
