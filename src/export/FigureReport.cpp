#include "export/FigureReport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "drawing/DrawingHelper.h"
#include "export/ReportDrawingImage.h"
#include "export/ReportFigurePainter.h"
#include "export/ReportTable.h"
#include "files/AtomicFile.h"

namespace {

// The PDF's own units, dots per inch: fine enough that no line or letter
// lands visibly off its place.
constexpr int kDeviceDpi = 1200;
constexpr double kPerMm = kDeviceDpi / 25.4;
// Drawings under the figures, dots per inch of the printed sheet.
constexpr double kPrintDpi = 300.0;
// Millimetres of the sheet: the margin all round (printers need a few), the
// header above the content, the footer below it.
constexpr double kMarginMm = 10.0;
constexpr double kHeaderMm = 12.0;
constexpr double kFooterMm = 7.0;
// A drawing's figures at the counts per millimetre of paper the pad gives
// them, for a figure that does not say.
constexpr double kDrawingCountsPerMm = 80.0;
// Room kept round figures printed on paper of their own, a share of their
// extent; and the least extent, millimetres, so that one point or a short
// line is not blown up to the sheet.
constexpr double kFigureRoom = 0.06;
constexpr double kLeastExtentMm = 20.0;

const QColor kNote(190, 40, 40);

// The drawing page or the tablet a sheet of figures is for.
struct Sheet {
    FigureSourceKind kind = FigureSourceKind::Tablet;
    QString name;
    int page = 0;
    double countsPerMm = 0.0;
    std::vector<const CellFigure*> cells;
};

// One sheet per drawing page, per tablet (and its resolution) and for the
// blank pad: drawings first by file and page, then the tablets, then the
// blank pad.
std::vector<Sheet> SheetsOf(const std::vector<const CellFigure*>& cells) {
    using Key = std::tuple<int, QString, int, double>;
    std::map<Key, Sheet> sheets;
    for (const CellFigure* cell : cells) {
        const KeptFigure& figure = *cell->figure;
        const bool drawing = figure.source == FigureSourceKind::Drawing;
        const int order = drawing ? 0 : figure.source == FigureSourceKind::Tablet ? 1 : 2;
        const Key key{order, figure.sourceName, drawing ? figure.page : 0,
                      drawing ? 0.0 : figure.countsPerMm};
        Sheet& sheet = sheets[key];
        sheet.kind = figure.source;
        sheet.name = figure.sourceName;
        sheet.page = drawing ? figure.page : 0;
        sheet.countsPerMm = figure.countsPerMm;
        sheet.cells.push_back(cell);
    }
    std::vector<Sheet> ordered;
    for (auto& [key, sheet] : sheets) {
        std::stable_sort(sheet.cells.begin(), sheet.cells.end(),
                         [](const CellFigure* a, const CellFigure* b) {
                             return a->row != b->row ? a->row < b->row : a->col < b->col;
                         });
        ordered.push_back(std::move(sheet));
    }
    return ordered;
}

// A scale to state on a sheet: the largest of 1, 2, 2.5 and 5 times a power
// of ten, as "1 : N" or "N : 1", that keeps the figures on the sheet.
struct PrintScale {
    double factor = 1.0;
    QString text;
};

PrintScale RoundScale(double fit) {
    constexpr double kSlack = 1e-9;
    if (fit >= 1.0) {
        const double power = std::pow(10.0, std::floor(std::log10(fit)));
        for (const double m : {5.0, 2.0, 1.0})
            if (m * power <= fit * (1 + kSlack))
                return {m * power, QStringLiteral("%1 : 1").arg(m * power, 0, 'g', 6)};
        return {1.0, QStringLiteral("1 : 1")};
    }
    const double down = 1.0 / fit;
    const double power = std::pow(10.0, std::floor(std::log10(down)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * power >= down * (1 - kSlack))
            return {1.0 / (m * power), QStringLiteral("1 : %1").arg(m * power, 0, 'g', 6)};
    return {fit, QString()};
}

QPageLayout LayoutFor(ReportPaper paper, bool landscape) {
    return QPageLayout(QPageSize(paper == ReportPaper::A3 ? QPageSize::A3 : QPageSize::A4),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// The sheet's size in millimetres.
QSizeF SheetMm(ReportPaper paper, bool landscape) {
    const QSizeF portrait = paper == ReportPaper::A3 ? QSizeF(297, 420) : QSizeF(210, 297);
    return landscape ? portrait.transposed() : portrait;
}

// Where figures and drawings go on a sheet, millimetres.
QRectF ContentMm(const QSizeF& sheet) {
    return QRectF(kMarginMm, kMarginMm + kHeaderMm, sheet.width() - 2 * kMarginMm,
                  sheet.height() - 2 * kMarginMm - kHeaderMm - kFooterMm);
}

QRectF ToDevice(const QRectF& mm) { return QRectF(mm.topLeft() * kPerMm, mm.size() * kPerMm); }

// A font that has the Japanese letters on every system the program runs
// on; the PDF carries the letters it uses, so it prints and reads back as
// text anywhere.
QFont ReportFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo"),
                      QStringLiteral("MS Gothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Noto Sans JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

// The PDF being built: its pages, each laid out before it starts, the
// header and the footer of each.
class ReportWriter {
  public:
    ReportWriter(QIODevice& device, ReportPaper paper, int pages)
        : writer_(&device), paper_(paper), pages_(pages) {
        writer_.setResolution(kDeviceDpi);
        writer_.setCreator(QStringLiteral("Kalvor"));
        writer_.setTitle(QStringLiteral("計測図形の報告"));
        made_ = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    }

    // Starts the next page; false when the PDF cannot be made.
    bool Next(bool landscape) {
        writer_.setPageLayout(LayoutFor(paper_, landscape));
        sheet_ = SheetMm(paper_, landscape);
        ++page_;
        if (page_ == 1) return painter_.begin(&writer_);
        return writer_.newPage();
    }
    bool End() { return painter_.isActive() && painter_.end(); }

    QPainter& Painter() { return painter_; }
    QRectF Content() const { return ToDevice(ContentMm(sheet_)); }

    // Two lines above the content: what the sheet shows, and how it is
    // printed or why something is missing.
    void Header(const QString& title, const QString& line, bool note) {
        painter_.save();
        const QFont font = ReportFont(9.5);
        const QFontMetricsF metrics(font, &writer_);
        const QRectF band =
            ToDevice(QRectF(kMarginMm, kMarginMm, sheet_.width() - 2 * kMarginMm, kHeaderMm));
        QFont bold = font;
        bold.setBold(true);
        painter_.setFont(bold);
        painter_.setPen(Qt::black);
        const QRectF top(band.left(), band.top(), band.width(), band.height() / 2);
        painter_.drawText(top, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(title, Qt::ElideMiddle, top.width()));
        painter_.setFont(font);
        painter_.setPen(note ? kNote : QColor(Qt::black));
        const QRectF below = top.translated(0, top.height());
        painter_.drawText(below, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(line, Qt::ElideRight, below.width()));
        painter_.restore();
        Footer();
    }

  private:
    void Footer() {
        const QRectF band = ToDevice(QRectF(kMarginMm, sheet_.height() - kMarginMm - kFooterMm / 2,
                                            sheet_.width() - 2 * kMarginMm, kFooterMm / 2));
        painter_.save();
        painter_.setFont(ReportFont(7.5));
        painter_.setPen(QColor(90, 90, 90));
        painter_.drawText(band, Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("Kalvor　計測図形の報告　%1").arg(made_));
        painter_.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("%1 / %2").arg(page_).arg(pages_));
        painter_.restore();
    }

    QPdfWriter writer_;
    QPainter painter_;
    ReportPaper paper_;
    int pages_ = 0;
    int page_ = 0;
    QSizeF sheet_;
    QString made_;
};

// Maps millimetres of a source (the drawing's paper, the tablet's surface)
// in `extent` onto the middle of `content` (device units) at `scale` sheet
// millimetres per source millimetre.
QTransform SourceToDevice(const QRectF& extent, const QRectF& content, double scale) {
    const double perMm = scale * kPerMm;
    const QPointF corner = content.center() - QPointF(extent.width(), extent.height()) * perMm / 2;
    return QTransform::fromTranslate(-extent.left(), -extent.top()) *
           QTransform::fromScale(perMm, perMm) * QTransform::fromTranslate(corner.x(), corner.y());
}

void PaintFigures(ReportWriter& report, const Sheet& sheet, const QTransform& mmToDevice,
                  double fallbackPerMm) {
    ReportFigurePainter figures(report.Painter(), kPerMm, ReportFont(7.0));
    figures.Paint(sheet.cells, [&](const KeptFigure& figure) {
        const double perMm = figure.countsPerMm > 0 ? figure.countsPerMm : fallbackPerMm;
        return QTransform::fromScale(1.0 / perMm, 1.0 / perMm) * mmToDevice;
    });
}

bool PaintDrawingSheet(ReportWriter& report, const Sheet& sheet, ReportPaper paper,
                       DrawingHelper& helper) {
    ReportDrawingImage image(helper);
    QString why;
    const bool opened = image.Open(sheet.name, sheet.page, why);
    // Without the drawing the figures keep their place on its paper: from
    // the page's top-left corner to the farthest figure.
    const QRectF extent =
        opened ? QRectF(QPointF(0, 0), image.SizeMm())
               : QRectF(0, 0, 1, 1)
                     .united(ReportFigurePainter::BoundsMm(sheet.cells, kDrawingCountsPerMm));
    const bool landscape = extent.width() > extent.height();
    if (!report.Next(landscape)) return false;
    const QRectF contentMm = ContentMm(SheetMm(paper, landscape));
    const double scale =
        std::min(contentMm.width() / extent.width(), contentMm.height() / extent.height());
    const QTransform map = SourceToDevice(extent, report.Content(), scale);
    QString line;
    if (opened) {
        why = image.Paint(report.Painter(), map, scale, kPrintDpi);
        line = why.isEmpty()
                   ? QStringLiteral("図面を用紙に合わせて %1 % の大きさで印刷しています。")
                         .arg(scale * 100, 0, 'f', 0)
                   : why;
    } else {
        line = QStringLiteral("図面を読めないため、図形だけを印刷しています。%1").arg(why);
    }
    PaintFigures(report, sheet, map, kDrawingCountsPerMm);
    report.Header(QStringLiteral("図面　%1　%2 ページ")
                      .arg(QDir::toNativeSeparators(sheet.name))
                      .arg(sheet.page),
                  line, !why.isEmpty());
    return true;
}

bool PaintPaperSheet(ReportWriter& report, const Sheet& sheet, ReportPaper paper) {
    // Counts stand for millimetres where the tablet does not say its
    // resolution: the figures keep their shape, not their size.
    const bool known = sheet.countsPerMm > 0;
    QRectF extent = ReportFigurePainter::BoundsMm(sheet.cells, 1.0);
    const double least = known ? kLeastExtentMm : 1.0;
    extent = extent.adjusted(
        -std::max(least - extent.width(), 0.0) / 2, -std::max(least - extent.height(), 0.0) / 2,
        std::max(least - extent.width(), 0.0) / 2, std::max(least - extent.height(), 0.0) / 2);
    extent = extent.adjusted(-extent.width() * kFigureRoom, -extent.height() * kFigureRoom,
                             extent.width() * kFigureRoom, extent.height() * kFigureRoom);
    const bool landscape = extent.width() > extent.height();
    if (!report.Next(landscape)) return false;
    const QRectF contentMm = ContentMm(SheetMm(paper, landscape));
    const double fit =
        std::min(contentMm.width() / extent.width(), contentMm.height() / extent.height());
    const PrintScale scale = known ? RoundScale(fit) : PrintScale{fit, QString()};
    const QTransform map = SourceToDevice(extent, report.Content(), scale.factor);
    PaintFigures(report, sheet, map, 1.0);
    const QString title =
        sheet.kind == FigureSourceKind::BlankPad
            ? QStringLiteral("白紙の仮想タブレット")
            : QStringLiteral("タブレット　%1")
                  .arg(sheet.name.isEmpty() ? QStringLiteral("（名前なし）") : sheet.name);
    const QString line =
        known ? QStringLiteral("縮尺 %1（タブレット上の長さに対して）").arg(scale.text)
              : QStringLiteral(
                    "タブレットの分解能がわからないため、用紙に合わせて印刷しています"
                    "（大きさは実寸ではありません）。");
    report.Header(title, line, false);
    return true;
}

}  // namespace

bool FigureReport::Write(const QString& path, const std::vector<CellFigure>& figures,
                         ReportPaper paper, QString* reason) {
    DrawingHelper helper;
    return Write(path, figures, paper, reason, helper);
}

bool FigureReport::Write(const QString& path, const std::vector<CellFigure>& figures,
                         ReportPaper paper, QString* reason, DrawingHelper& helper) {
    const auto fail = [reason](const QString& why) {
        if (reason != nullptr) *reason = why;
        return false;
    };
    std::vector<const CellFigure*> cells;
    for (const CellFigure& cell : figures)
        if (cell.figure && !cell.figure->points.empty()) cells.push_back(&cell);
    if (cells.empty()) return fail(QStringLiteral("書き出す図形がありません。"));

    const std::vector<Sheet> sheets = SheetsOf(cells);
    const ReportTable table(cells);
    const QRectF tableArea = ToDevice(ContentMm(SheetMm(paper, false)));
    const int tablePages = table.Pages(tableArea, kPerMm);

    // The whole PDF in memory, then written at once: a report cut short by a
    // full disk or a crash never replaces a good one.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ReportWriter report(buffer, paper, static_cast<int>(sheets.size()) + tablePages);
        bool ok = true;
        for (const Sheet& sheet : sheets) {
            ok = sheet.kind == FigureSourceKind::Drawing
                     ? PaintDrawingSheet(report, sheet, paper, helper)
                     : PaintPaperSheet(report, sheet, paper);
            if (!ok) break;
        }
        for (int page = 0; ok && page < tablePages; ++page) {
            ok = report.Next(false);
            if (!ok) break;
            table.PaintPage(report.Painter(), report.Content(), kPerMm, ReportFont(8.5), page);
            report.Header(QStringLiteral("計測した図形の一覧（%1 件）").arg(cells.size()),
                          page == 0 ? QString() : QStringLiteral("（続き）"), false);
        }
        if (!report.End() || !ok) return fail(QStringLiteral("PDF を作れませんでした。"));
    }
    // The operator's own choice of file: a link to a regular file is
    // written through, as a save under any name is.
    const FileWriteResult written = WriteFileAtomically(path, bytes, Links::Follow);
    if (!written) return fail(written.reason);
    return true;
}
