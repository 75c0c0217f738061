// The PDF report read back by poppler, a reader we did not write: its pages
// and paper, the labels and the table as text, the figures over the drawing
// where the drawing's lines are, and a report that is still whole when a
// drawing cannot be read.

#include <gtest/gtest.h>
#include <poppler-qt6.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostileDrawings.h"
#include "drawing/DrawingHelper.h"
#include "export/FigureReport.h"

namespace {

// Counts per millimetre of paper the pad gives a drawing's figures.
constexpr double kPadPerMm = 80.0;
// A4 and A3 in points, as poppler reports a page's size.
const QSizeF kA4(595, 842);
const QSizeF kA3(842, 1191);

// A drawing: a green line 2 mm wide from (50, 100) mm to (150, 100) mm, a
// colour no figure or text of the report has, so that where the drawing
// lies on the report is found by it.
bool WriteDrawing(const QString& path, QPageSize::PageSizeId size, bool landscape = false) {
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(size),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setResolution(600);
    QPainter painter(&writer);
    const double perMm = 600 / 25.4;
    painter.setPen(QPen(QColor(0, 170, 0), 2 * perMm, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(50, 100) * perMm, QPointF(150, 100) * perMm);
    return painter.end();
}

FigurePoint Mm(double x, double y, double perMm = kPadPerMm) {
    return {static_cast<std::int32_t>(std::lround(x * perMm)),
            static_cast<std::int32_t>(std::lround(y * perMm))};
}

CellFigure Cell(int row, int col, FigureMode mode, std::vector<FigurePoint> points,
                const QString& value, const QString& unit, FigureSourceKind source,
                const QString& name = {}, int page = 0, double perMm = kPadPerMm) {
    auto figure = std::make_shared<KeptFigure>();
    figure->mode = mode;
    figure->points = std::move(points);
    figure->value = value;
    figure->unit = unit;
    figure->source = source;
    figure->sourceName = name;
    figure->page = page;
    figure->countsPerMm = perMm;
    // 2026-12-09 01:23:56 UTC: the seconds read the same in every time zone.
    figure->timeMs = 1796779436000;
    return {row, col, figure};
}

// A distance along the left half of the drawing's green line, and a room.
std::vector<CellFigure> DrawingFigures(const QString& drawing) {
    return {
        Cell(1, 2, FigureMode::TwoPointDistance, {Mm(50, 100), Mm(100, 100)}, "5.00", "m",
             FigureSourceKind::Drawing, drawing, 1),
        Cell(1, 1, FigureMode::PickedArea, {Mm(20, 150), Mm(80, 150), Mm(80, 200), Mm(20, 200)},
             "12.50", "m²", FigureSourceKind::Drawing, drawing, 1),
    };
}

struct ReadBack {
    std::unique_ptr<Poppler::Document> document;

    int Pages() const { return document ? document->numPages() : 0; }
    QSizeF Size(int page) const { return document->page(page)->pageSizeF(); }
    QString Text(int page) const { return document->page(page)->text(QRectF()); }
    QString AllText() const {
        QString all;
        for (int page = 0; page < Pages(); ++page) all += Text(page) + QLatin1Char('\n');
        return all;
    }
    QImage Picture(int page, double dpi = 150) const {
        return document->page(page)->renderToImage(dpi, dpi).convertToFormat(QImage::Format_RGB32);
    }
};

ReadBack Read(const QString& path) { return {Poppler::Document::load(path)}; }

bool Green(QRgb p) { return qGreen(p) > 120 && qRed(p) < 100 && qBlue(p) < 100; }
bool Blue(QRgb p) { return qBlue(p) > 120 && qRed(p) < 90 && qBlue(p) - qRed(p) > 60; }

int Count(const QImage& image, bool (*is)(QRgb)) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += is(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// The rectangle the green pixels fill: the drawing's line on the report.
QRect GreenLine(const QImage& image) {
    QRect line;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Green(image.pixel(x, y))) line |= QRect(x, y, 1, 1);
    return line;
}

// A helper program that behaves as `script` says.
QString ScriptHelper(const QTemporaryDir& dir, const QString& name, const QByteArray& script) {
    const QString program = dir.filePath(name);
    QFile file(program);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("#!/bin/sh\n" + script + "\n");
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    return program;
}

class FigureReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        drawing = dir.filePath(QStringLiteral("plan.pdf"));
        ASSERT_TRUE(WriteDrawing(drawing, QPageSize::A4));
        report = dir.filePath(QStringLiteral("report.pdf"));
    }

    QTemporaryDir dir;
    QString drawing;
    QString report;
};

}  // namespace

TEST_F(FigureReportTest, figures_on_a_drawing_a_tablet_and_the_blank_pad_read_back_with_the_table) {
    std::vector<CellFigure> figures = DrawingFigures(drawing);
    // A trace on a tablet of 100 counts a millimetre, wider than high.
    figures.push_back(Cell(2, 1, FigureMode::TracedLength,
                           {Mm(10, 10, 100), Mm(200, 40, 100), Mm(260, 20, 100)}, "27.40", "cm",
                           FigureSourceKind::Tablet, "Tablet X", 0, 100));
    // A coordinate's two cells share the point.
    for (const auto& [col, value] :
         {std::pair{1, QStringLiteral("3.20")}, {2, QStringLiteral("4.10")}})
        figures.push_back(Cell(3, col, FigureMode::Coordinate, {Mm(30, 40, 4)}, value, "m",
                               FigureSourceKind::BlankPad, {}, 0, 4));
    // A sum: a floor with a stairwell counted off.
    CellFigure floor =
        Cell(4, 1, FigureMode::PickedArea, {Mm(120, 150), Mm(180, 150), Mm(180, 200), Mm(120, 200)},
             "26.00", "m²", FigureSourceKind::Drawing, drawing, 1);
    KeptFigure hole = *floor.figure;
    hole.points = {Mm(140, 160), Mm(160, 160), Mm(160, 180), Mm(140, 180)};
    hole.minus = true;
    std::const_pointer_cast<KeptFigure>(floor.figure)->parts.push_back(hole);
    figures.push_back(floor);
    QString reason;
    ASSERT_TRUE(FigureReport::Write(report, figures, ReportPaper::A4, &reason))
        << reason.toStdString();

    const ReadBack pdf = Read(report);
    ASSERT_EQ(pdf.Pages(), 4) << "the drawing page, the tablet, the blank pad, the table";
    EXPECT_EQ(pdf.Size(0).toSize(), kA4.toSize()) << "an upright drawing on upright paper";
    EXPECT_EQ(pdf.Size(1).toSize(), kA4.transposed().toSize()) << "a wide trace on paper across";
    EXPECT_EQ(pdf.Size(3).toSize(), kA4.toSize());

    const QString onDrawing = pdf.Text(0);
    for (const char* label :
         {"1行1列", "12.50 m²", "1行2列", "5.00 m", "plan.pdf", "26.00 m²", "−4行1列"})
        EXPECT_TRUE(onDrawing.contains(QString::fromUtf8(label))) << label;
    EXPECT_TRUE(pdf.Text(1).contains(QStringLiteral("2行1列"))) << pdf.Text(1).toStdString();
    EXPECT_TRUE(pdf.Text(1).contains(QStringLiteral("縮尺 1 :"))) << "the print's scale is stated";
    EXPECT_TRUE(pdf.Text(2).contains(QStringLiteral("3行1列")));
    EXPECT_TRUE(pdf.Text(2).contains(QStringLiteral("3行2列")));

    const QString table = pdf.Text(3);
    for (const char* word :
         {"取得元", "二点間の距離", "多点の面積", "なぞり距離", "座標点", "Tablet X",
          "白紙の仮想タブレット", "plan.pdf", "27.40", "4.10", ":56"})
        EXPECT_TRUE(table.contains(QString::fromUtf8(word))) << word << "\n" << table.toStdString();

    // The letters are the report's own, carried in the file: it prints
    // anywhere.
    const QList<Poppler::FontInfo> fonts = pdf.document->fonts();
    ASSERT_FALSE(fonts.isEmpty());
    for (const Poppler::FontInfo& font : fonts)
        EXPECT_TRUE(font.isEmbedded()) << font.name().toStdString();

    // The drawing is under its figures: the distance lies along the left
    // half of the drawing's green line, from its start to its middle (a
    // millimetre is about 5 pixels here).
    const QImage page = pdf.Picture(0);
    const QRect line = GreenLine(page);
    ASSERT_GT(line.width(), 100) << "the drawing's line is on the page";
    const int y = line.center().y();
    int first = -1, last = -1;
    for (int x = 0; x < page.width(); ++x) {
        if (!Blue(page.pixel(x, y))) continue;
        if (first < 0) first = x;
        last = x;
    }
    EXPECT_NEAR(first, line.left(), 3);
    EXPECT_NEAR(last, line.center().x(), 3);
}

TEST_F(FigureReportTest, paper_and_orientation_follow_the_choice_and_each_drawing) {
    struct Case {
        const char* name;
        ReportPaper paper;
        QPageSize::PageSizeId drawing;
        bool landscape;
        QSizeF first;
    };
    const Case cases[] = {
        {"A4 across on A3", ReportPaper::A3, QPageSize::A4, true, kA3.transposed()},
        {"A1 upright on A3", ReportPaper::A3, QPageSize::A1, false, kA3},
        {"A1 across on A4", ReportPaper::A4, QPageSize::A1, true, kA4.transposed()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteDrawing(drawing, c.drawing, c.landscape));
        QString reason;
        ASSERT_TRUE(FigureReport::Write(report, DrawingFigures(drawing), c.paper, &reason));
        const ReadBack pdf = Read(report);
        ASSERT_EQ(pdf.Pages(), 2);
        EXPECT_EQ(pdf.Size(0).toSize(), c.first.toSize());
        const QSizeF upright = c.paper == ReportPaper::A3 ? kA3 : kA4;
        EXPECT_EQ(pdf.Size(1).toSize(), upright.toSize()) << "the table on upright paper";
        EXPECT_GT(Count(pdf.Picture(0, 50), Green), 0) << "the drawing is on its page";
    }
}

#ifdef Q_OS_LINUX
TEST_F(FigureReportTest,
       a_drawing_that_cannot_be_read_still_gets_its_page_with_the_figures_and_why) {
    struct Case {
        const char* name;
        QString file;
        int page;
        // The helper's program; the real one when empty.
        QByteArray script;
        int callMs;
        const char* why;
    };
    const QString slow = dir.filePath(QStringLiteral("slow.pdf"));
    ASSERT_TRUE(WriteBytes(slow, SlowPdf()));
    const QString junk = dir.filePath(QStringLiteral("junk.pdf"));
    ASSERT_TRUE(WriteBytes(junk, QByteArray("not a drawing").repeated(100)));
    const Case cases[] = {
        {"gone", dir.filePath(QStringLiteral("gone.pdf")), 1, {}, 20000, "図面を読めない"},
        {"not a drawing", junk, 1, {}, 20000, "図面を読めない"},
        {"fewer pages now", drawing, 3, {}, 20000, "3 ページ目がありません"},
        {"the helper dies", drawing, 1, "kill -SEGV $$", 20000, "異常終了"},
        {"the helper hangs", drawing, 1, "exec sleep 60", 500, "中止しました"},
        {"the page takes too long", slow, 1, {}, 1500, "中止しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(report);
        std::vector<CellFigure> figures = DrawingFigures(c.file);
        for (CellFigure& cell : figures)
            std::const_pointer_cast<KeptFigure>(cell.figure)->page = c.page;
        const QString program =
            c.script.isEmpty() ? QString() : ScriptHelper(dir, QStringLiteral("helper"), c.script);
        DrawingHelper helper(program);
        helper.SetLimits({helper.CurrentLimits().memoryBytes, c.callMs});
        QElapsedTimer clock;
        clock.start();
        QString reason;
        ASSERT_TRUE(FigureReport::Write(report, figures, ReportPaper::A4, &reason, helper))
            << reason.toStdString();
        EXPECT_LT(clock.elapsed(), 15000) << "a helper that hangs is given up on";

        const ReadBack pdf = Read(report);
        ASSERT_EQ(pdf.Pages(), 2);
        const QString text = pdf.Text(0);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.why))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("1行1列"))) << "the figures are there";
        const QImage page = pdf.Picture(0, 50);
        EXPECT_EQ(Count(page, Green), 0) << "no drawing under them";
        EXPECT_GT(Count(page, Blue), 0);
    }
}
#endif

TEST_F(FigureReportTest, a_long_table_runs_over_pages_with_its_header_on_each) {
    std::vector<CellFigure> figures;
    for (int row = 1; row <= 120; ++row)
        figures.push_back(Cell(row, 1, FigureMode::TwoPointDistance, {Mm(5, row), Mm(60, row)},
                               QStringLiteral("%1.25").arg(1000 + row), "m",
                               FigureSourceKind::Tablet, "Tablet X", 0, 40));
    QString reason;
    ASSERT_TRUE(FigureReport::Write(report, figures, ReportPaper::A4, &reason));
    const ReadBack pdf = Read(report);
    ASSERT_GE(pdf.Pages(), 4) << "one sheet of figures, three or more of the table";
    QString table;
    for (int page = 1; page < pdf.Pages(); ++page) {
        const QString text = pdf.Text(page);
        EXPECT_TRUE(text.contains(QStringLiteral("取得元"))) << "page " << page;
        table += text;
    }
    for (int row = 1; row <= 120; ++row)
        EXPECT_EQ(table.count(QStringLiteral("%1.25").arg(1000 + row)), 1) << "row " << row;
}

TEST_F(FigureReportTest, a_report_that_cannot_be_written_says_why_and_leaves_no_file) {
    const std::vector<CellFigure> figures{Cell(1, 1, FigureMode::TwoPointDistance,
                                               {Mm(5, 5), Mm(60, 5)}, "1.00", "m",
                                               FigureSourceKind::Tablet, "Tablet X", 0, 40)};
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.pdf")));
    struct Case {
        const char* name;
        QString path;
        std::vector<CellFigure> figures;
        const char* reason;
    };
    const Case cases[] = {
        {"no such folder", dir.filePath(QStringLiteral("gone/report.pdf")), figures,
         "フォルダーがありません"},
        {"a folder of that name", dir.filePath(QStringLiteral("taken.pdf")), figures, "フォルダー"},
        {"no figure", report, {}, "図形がありません"},
        {"a cell without points",
         report,
         {{1, 1, std::make_shared<KeptFigure>()}},
         "図形がありません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString reason;
        EXPECT_FALSE(FigureReport::Write(c.path, c.figures, ReportPaper::A4, &reason));
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reason))) << reason.toStdString();
    }
    EXPECT_FALSE(QFile::exists(report));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("plan.pdf")})
        << "nothing left behind";
}
