// The exports read back by readers they were not written with: the SVG
// through Qt SVG, the DXF through Python's ezdxf.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>

#include "QStringPrinter.h"
#include "export/DxfExport.h"
#include "export/ExportSheet.h"
#include "export/GridFigures.h"
#include "export/SheetFiles.h"
#include "export/SvgExport.h"
#include "grid/GridModel.h"

namespace {

const QString kPlan = QStringLiteral("/plans/平面図.pdf");

// A figure on page 2 of the plan at 1 : 100 in metres: 800 counts (10 mm of
// paper) are 1 m.
std::shared_ptr<KeptFigure> OnPlan(FigureMode mode, std::vector<FigurePoint> points,
                                   const QString& value) {
    auto f = std::make_shared<KeptFigure>();
    f->mode = mode;
    f->points = std::move(points);
    f->referenceLength = QStringLiteral("1");
    f->tabletLength = QStringLiteral("800");
    f->unit = f->Closed() ? QStringLiteral("m²") : QStringLiteral("m");
    f->countsPerMm = 80;
    f->source = FigureSourceKind::Drawing;
    f->sourceName = kPlan;
    f->page = 2;
    f->timeMs = 1'796'000'000'000;
    f->value = value;
    return f;
}

// Five cells of one plan page: a room, a distance, a wall with an arc, a
// coordinate's two cells, and a floor with a stairwell counted off.
std::vector<CellFigure> PlanFigures() {
    std::vector<CellFigure> cells;
    cells.push_back(
        {1, 1,
         OnPlan(FigureMode::PickedArea, {{1600, 2400}, {2400, 2400}, {2400, 3200}, {1600, 3200}},
                QStringLiteral("1.00"))});
    cells.push_back(
        {2, 1,
         OnPlan(FigureMode::TwoPointDistance, {{800, 800}, {3200, 800}}, QStringLiteral("3.00"))});
    auto arc = OnPlan(FigureMode::PickedLength, {{0, 4000}, {800, 3200}, {1600, 4000}},
                      QStringLiteral("3.14"));
    arc->arcMiddles = {1};
    cells.push_back({3, 1, arc});
    for (int col : {1, 2}) {
        auto point = OnPlan(FigureMode::Coordinate, {{4000, 800}}, col == 1 ? "5.00" : "-1.00");
        cells.push_back({4, col, point});
    }
    auto floor =
        OnPlan(FigureMode::TracedArea, {{4000, 4000}, {5600, 4000}, {5600, 5600}, {4000, 5600}},
               QStringLiteral("3.75"));
    KeptFigure hole = *floor;
    hole.points = {{4400, 4400}, {4800, 4400}, {4800, 4800}, {4400, 4800}};
    hole.minus = true;
    hole.value = QStringLiteral("0.25");
    floor->parts.push_back(hole);
    cells.push_back({5, 1, floor});
    return cells;
}

std::shared_ptr<KeptFigure> OnTablet(double countsPerMm) {
    auto f = OnPlan(FigureMode::TwoPointDistance, {{0, 0}, {1000, 0}}, QStringLiteral("2.00"));
    f->source = FigureSourceKind::Tablet;
    f->sourceName = QStringLiteral("Pen Tablet");
    f->page = 0;
    f->countsPerMm = countsPerMm;
    return f;
}

QByteArray Svg(const std::vector<CellFigure>& cells, std::optional<QSizeF> page = std::nullopt) {
    const std::vector<ExportSheet> sheets = ExportSheet::Of(cells);
    EXPECT_EQ(sheets.size(), 1u);
    return sheets.empty() ? QByteArray() : SvgExport::Bytes(sheets.front(), page);
}

// Each label's lines by the label's id, as an SVG reader sees them.
std::map<QString, QStringList> SvgLabels(const QByteArray& svg) {
    std::map<QString, QStringList> labels;
    QXmlStreamReader xml(svg);
    QString group;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QStringLiteral("g"))
            group = xml.attributes().value(QStringLiteral("id")).toString();
        if (xml.isStartElement() && xml.name() == QStringLiteral("text"))
            labels[group] << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return labels;
}

void ExpectRect(const QRectF& actual, const QRectF& expected, const char* what) {
    // Qt may count half the stroke (0.35 mm) into a bound.
    EXPECT_NEAR(actual.left(), expected.left(), 0.2) << what;
    EXPECT_NEAR(actual.top(), expected.top(), 0.2) << what;
    EXPECT_NEAR(actual.right(), expected.right(), 0.2) << what;
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 0.2) << what;
}

TEST(SvgExport, drawing_page_lays_over_the_page_in_millimetres_with_every_figure_labelled) {
    const QByteArray svg = Svg(PlanFigures(), QSizeF(420, 297));
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid()) << svg.constData();
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 420, 297));
    EXPECT_TRUE(svg.contains("width=\"420mm\" height=\"297mm\""));

    struct Case {
        const char* id;
        QRectF mm;
    };
    const Case cases[] = {
        {"f1-1-0", QRectF(20, 30, 10, 10)},  // the room, 1600 / 80 = 20 mm in
        {"f2-1-0", QRectF(10, 10, 30, 0)},   // the distance
        {"f3-1-0", QRectF(0, 40, 20, 10)},   // the arc's half circle up to 40 mm
        {"f5-1-0", QRectF(50, 50, 20, 20)},  // the floor
        {"f5-1-1", QRectF(55, 55, 5, 5)},    // its stairwell
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(renderer.elementExists(QString::fromLatin1(c.id))) << c.id;
        ExpectRect(renderer.boundsOnElement(QString::fromLatin1(c.id)), c.mm, c.id);
    }
    EXPECT_TRUE(renderer.elementExists(QStringLiteral("f4-1-0")));
    EXPECT_FALSE(renderer.elementExists(QStringLiteral("f4-2-0")))
        << "a coordinate's two cells are one point";

    const auto labels = SvgLabels(svg);
    const std::map<QString, QStringList> expected{
        {QStringLiteral("l1-1-0"), {QStringLiteral("1行1列　1.00 m²")}},
        {QStringLiteral("l2-1-0"), {QStringLiteral("2行1列　3.00 m")}},
        {QStringLiteral("l3-1-0"), {QStringLiteral("3行1列　3.14 m")}},
        {QStringLiteral("l4-1-0"),
         {QStringLiteral("4行1列　5.00 m"), QStringLiteral("4行2列　-1.00 m")}},
        {QStringLiteral("l5-1-0"), {QStringLiteral("5行1列　3.75 m²")}},
        {QStringLiteral("l5-1-1"), {QStringLiteral("−0.25 m²")}},
    };
    EXPECT_EQ(labels, expected);
    EXPECT_TRUE(svg.contains("id=\"f5-1-1\"") &&
                svg.indexOf("stroke-dasharray", svg.indexOf("id=\"f5-1-1\"")) <
                    svg.indexOf("id=\"l5-1-1\""))
        << "the hole is dashed";
}

TEST(SvgExport, page_of_unknown_size_still_starts_at_its_corner) {
    QSvgRenderer renderer(Svg(PlanFigures()));
    ASSERT_TRUE(renderer.isValid());
    const QRectF box = renderer.viewBoxF();
    EXPECT_EQ(box.topLeft(), QPointF(0, 0));
    EXPECT_GE(box.right(), 70.0);
    EXPECT_GE(box.bottom(), 70.0);
}

TEST(SvgExport, tablet_figures_are_in_the_tablet_millimetres_or_counts_when_it_told_none) {
    struct Case {
        double countsPerMm;
        const char* width;
        QRectF bounds;
        bool saysCounts;
    };
    const Case cases[] = {
        {100.0, "width=\"30mm\"", QRectF(0, 0, 10, 0), false},
        {0.0, "width=\"1000\"", QRectF(0, 0, 1000, 0), true},
    };
    for (const Case& c : cases) {
        const QByteArray svg = Svg({{1, 1, OnTablet(c.countsPerMm)}});
        QSvgRenderer renderer(svg);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_TRUE(svg.contains(c.width) || c.saysCounts) << svg.constData();
        const QRectF b = renderer.boundsOnElement(QStringLiteral("f1-1-0"));
        EXPECT_NEAR(b.width(), c.bounds.width(), c.countsPerMm > 0 ? 0.4 : 20.0);
        EXPECT_EQ(svg.contains("カウント"), c.saysCounts);
        EXPECT_TRUE(renderer.viewBoxF().contains(b.center()));
    }
}

TEST(ExportSheet, one_file_per_page_named_after_the_chosen_one) {
    auto second = OnPlan(FigureMode::PickedArea, {{0, 0}, {80, 0}, {80, 80}}, QStringLiteral("1"));
    second->page = 3;
    auto other = OnPlan(FigureMode::PickedArea, {{0, 0}, {80, 0}, {80, 80}}, QStringLiteral("1"));
    other->sourceName = QStringLiteral("C:/図面/A:1.pdf");
    auto pad = OnTablet(80);
    pad->source = FigureSourceKind::BlankPad;
    pad->sourceName.clear();
    struct Case {
        std::vector<CellFigure> cells;
        QStringList names;
    };
    const Case cases[] = {
        {{{1, 1, second}}, {QStringLiteral("/out/plan.svg")}},
        {{{2, 1, second}, {1, 1, OnPlan(FigureMode::PickedArea, {{0, 0}, {9, 9}, {0, 9}}, "2")}},
         {QStringLiteral("/out/plan-p2.svg"), QStringLiteral("/out/plan-p3.svg")}},
        {{{1, 1, OnTablet(100)}, {2, 1, pad}, {3, 1, second}, {4, 1, other}},
         {QStringLiteral("/out/plan-平面図-p3.svg"), QStringLiteral("/out/plan-A_1-p2.svg"),
          QStringLiteral("/out/plan-pad.svg"), QStringLiteral("/out/plan-tablet.svg")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SheetFiles::Names(QStringLiteral("/out/plan.svg"), ExportSheet::Of(c.cells)),
                  c.names);
}

TEST(ExportSheet, a_sums_figures_each_lie_on_the_page_they_were_measured_on) {
    auto floor = OnPlan(FigureMode::PickedArea, {{0, 0}, {800, 0}, {800, 800}}, "7.50");
    KeptFigure upstairs = *floor;
    upstairs.page = 3;
    upstairs.value = QStringLiteral("2.5");
    floor->parts.push_back(upstairs);
    const std::vector<ExportSheet> sheets = ExportSheet::Of({{2, 3, floor}});
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].page, 2);
    EXPECT_EQ(sheets[1].page, 3);
    ASSERT_EQ(sheets[1].items.size(), 1u);
    EXPECT_EQ(sheets[1].items[0].part, 1);
    EXPECT_EQ(sheets[1].items[0].labels, QStringList{QStringLiteral("+2.5 m²")});
    EXPECT_EQ(sheets[0].items[0].labels, QStringList{QStringLiteral("2行3列　7.50 m²")});
}

TEST(GridFigures, all_or_the_selected_cells_in_the_order_of_the_cells) {
    GridModel grid(10, 5);
    const auto cells = PlanFigures();
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        grid.SetTextMatrix(it->row, it->col, it->figure->value);
        ASSERT_TRUE(grid.SetTag(it->row, it->col, it->figure));
    }
    grid.SetTextMatrix(6, 1, QStringLiteral("typed"));
    const auto all = GridFigures::All(grid);
    ASSERT_EQ(all.size(), cells.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(std::make_pair(all[i].row, all[i].col),
                  std::make_pair(cells[i].row, cells[i].col));
    const auto some = GridFigures::In(grid, CellRange{3, 2, 6, 4});
    ASSERT_EQ(some.size(), 1u);
    EXPECT_EQ(std::make_pair(some[0].row, some[0].col), std::make_pair(4, 2));
}

TEST(SheetFiles, a_file_that_cannot_be_written_is_told_with_its_reason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/plan.svg"));
    const ExportResult result = SvgExport::Write(path, PlanFigures(), {});
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.failedPath, path);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_TRUE(result.written.isEmpty());
}

// --- DXF, read back by ezdxf ---------------------------------------------------

QJsonObject ReadDxf(const QByteArray& bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("figures.dxf"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QProcess python;
    python.start(QStringLiteral(KALVOR_PYTHON), {QStringLiteral(KALVOR_READ_DXF), path});
    EXPECT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

std::vector<QPointF> Points(const QJsonObject& entity) {
    std::vector<QPointF> points;
    for (const QJsonValue& p : entity[QStringLiteral("points")].toArray())
        points.emplace_back(p.toArray()[0].toDouble(), p.toArray()[1].toDouble());
    return points;
}

void ExpectPoints(const std::vector<QPointF>& actual, const std::vector<QPointF>& expected,
                  const QString& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what.toStdString();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x(), expected[i].x(), 1e-6) << what.toStdString() << " point " << i;
        EXPECT_NEAR(actual[i].y(), expected[i].y(), 1e-6) << what.toStdString() << " point " << i;
    }
}

TEST(DxfExport, ezdxf_reads_layers_entities_in_metres_y_up_labels_and_arcs) {
    const QJsonObject dxf = ReadDxf(DxfExport::Bytes(ExportSheet::Of(PlanFigures()).front()));
    EXPECT_EQ(dxf[QStringLiteral("version")].toString(), QStringLiteral("AC1009"));
    EXPECT_TRUE(dxf[QStringLiteral("audit_errors")].toArray().isEmpty())
        << QJsonDocument(dxf[QStringLiteral("audit_errors")].toArray()).toJson().toStdString();
    const QJsonObject layers = dxf[QStringLiteral("layers")].toObject();
    for (const char* name : {"DISTANCE", "PICKED_AREA", "TRACED_AREA", "PICKED_LENGTH",
                             "TRACED_LENGTH", "COORDINATE", "HOLE"})
        EXPECT_TRUE(layers.contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(layers[QStringLiteral("HOLE")].toObject()[QStringLiteral("linetype")].toString(),
              QStringLiteral("DASHED"));

    // What each layer holds: the figure, then its labels.
    struct Case {
        const char* layer;
        const char* type;
        std::vector<QPointF> metres;
        QStringList labels;
    };
    const Case cases[] = {
        {"PICKED_AREA", "POLYLINE", {{2, -3}, {3, -3}, {3, -4}, {2, -4}}, {"1行1列　1.00 m²"}},
        {"DISTANCE", "LINE", {{1, -1}, {4, -1}}, {"2行1列　3.00 m"}},
        {"PICKED_LENGTH", "POLYLINE", {{0, -5}, {2, -5}}, {"3行1列　3.14 m"}},
        {"COORDINATE", "POINT", {{5, -1}}, {"4行1列　5.00 m", "4行2列　-1.00 m"}},
        {"TRACED_AREA", "POLYLINE", {{5, -5}, {7, -5}, {7, -7}, {5, -7}}, {"5行1列　3.75 m²"}},
        {"HOLE", "POLYLINE", {{5.5, -5.5}, {6, -5.5}, {6, -6}, {5.5, -6}}, {"−0.25 m²"}},
    };
    const QJsonArray entities = dxf[QStringLiteral("entities")].toArray();
    for (const Case& c : cases) {
        const QString layer = QString::fromLatin1(c.layer);
        QStringList texts;
        int shapes = 0;
        for (const QJsonValue& value : entities) {
            const QJsonObject e = value.toObject();
            if (e[QStringLiteral("layer")].toString() != layer) continue;
            const QString type = e[QStringLiteral("type")].toString();
            if (type == QStringLiteral("TEXT")) {
                texts << e[QStringLiteral("text")].toString();
                // 3 mm of paper at 1 : 100.
                EXPECT_NEAR(e[QStringLiteral("height")].toDouble(), 0.3, 1e-9);
                continue;
            }
            ++shapes;
            EXPECT_EQ(type, QString::fromLatin1(c.type)) << c.layer;
            ExpectPoints(Points(e), c.metres, layer);
            // An area is closed, a length open.
            if (type == QStringLiteral("POLYLINE")) {
                EXPECT_EQ(e[QStringLiteral("closed")].toBool(),
                          c.layer != std::string("PICKED_LENGTH"));
            }
            if (layer == QStringLiteral("PICKED_LENGTH")) {
                // Over the top from left to right: clockwise once Y is up.
                EXPECT_NEAR(e[QStringLiteral("bulges")].toArray()[0].toDouble(), -1.0, 1e-9);
            }
        }
        EXPECT_EQ(shapes, 1) << c.layer;
        EXPECT_EQ(texts, c.labels) << c.layer;
    }
}

TEST(DxfExport, vertical_factor_stretches_up_and_turns_arcs_into_short_sides) {
    auto arc = OnPlan(FigureMode::PickedLength, {{0, 4000}, {800, 3200}, {1600, 4000}},
                      QStringLiteral("x"));
    arc->arcMiddles = {1};
    arc->verticalFactor = 2.0;
    const QJsonObject dxf = ReadDxf(DxfExport::Bytes(ExportSheet::Of({{1, 1, arc}}).front()));
    const QJsonObject polyline = dxf[QStringLiteral("entities")].toArray()[0].toObject();
    const std::vector<QPointF> points = Points(polyline);
    ASSERT_GT(points.size(), 8u);
    EXPECT_NEAR(points.front().y(), -10.0, 1e-6);
    double top = 0.0;
    for (const QPointF& p : points) top = std::max(top, p.y() + 10.0);
    EXPECT_NEAR(top, 2.0, 0.02) << "the arc's 1 m rise, doubled";
    for (const QJsonValue& bulge : polyline[QStringLiteral("bulges")].toArray())
        EXPECT_EQ(bulge.toDouble(), 0.0);
}

TEST(DxfExport, figure_without_a_usable_scale_is_written_in_counts_and_says_so) {
    auto f = OnTablet(0);
    f->referenceLength.clear();
    const QByteArray bytes = DxfExport::Bytes(ExportSheet::Of({{1, 1, f}}).front());
    EXPECT_TRUE(bytes.contains("tablet counts"));
    const QJsonObject line = ReadDxf(bytes)[QStringLiteral("entities")].toArray()[0].toObject();
    ExpectPoints(Points(line), {{0, 0}, {1000, 0}}, QStringLiteral("counts"));
}

}  // namespace
