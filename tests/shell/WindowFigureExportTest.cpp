// "図形の書き出し…" through the real window over fake dialogs: what it offers,
// all or the selected cells' figures written, a file that cannot be written
// told with its reason as "ファイル保存" tells it, and nothing written when
// there is no figure.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "PadRig.h"
#include "QStringPrinter.h"
#include "WindowFixture.h"
#include "grid/ui/MeiGridView.h"
#include "shell/FigureExportDialog.h"

namespace {

using Kind = FakeDialogs::Shown::Kind;

// A square picked in "多点の面積" on the tablet, ended with the side switch.
void MeasureSquare(WindowFixture& f, frmTab& w, int size) {
    auto* option = f.Find<QRadioButton>(QStringLiteral("optMes(1)"));
    if (!option->isChecked()) {
        option->setChecked(true);
        w.cmdMes_Click(0);
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {size, 0}, {size, size}, {0, size}})
        f.tablet.PushPick(x, y);
    f.Deliver();
    f.tablet.PushSide();
    f.Deliver();
}

// The button on "その他の設定", as the operator presses it.
void PressExport(WindowFixture& f) {
    f.Find<QTabWidget>(QStringLiteral("sstMenu"))->setCurrentIndex(2);
    QApplication::processEvents();
    auto* button = f.Find<QPushButton>(QStringLiteral("cmdExportFigures"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    button->click();
}

void Select(WindowFixture& f, int row, int col) {
    auto* view = f.Find<MeiGridView>(QStringLiteral("msgMei"));
    view->selectionModel()->select(view->model()->index(row - 1, col - 1),
                                   QItemSelectionModel::ClearAndSelect);
}

TEST(WindowFigureExport, without_figures_it_says_so_and_asks_nothing) {
    WindowFixture f;
    frmTab& w = f.Start();
    w.Grid().SetTextMatrix(1, 1, QStringLiteral("12.5"));  // typed: no figure
    PressExport(f);
    EXPECT_TRUE(f.dialogs.exportOffers.empty());
    EXPECT_EQ(f.dialogs.Count(Kind::SaveDialog), 0);
    ASSERT_EQ(f.dialogs.Texts(Kind::Notice).size(), 1);
    EXPECT_TRUE(
        f.dialogs.Texts(Kind::Notice)[0].startsWith(QStringLiteral("書き出す図形がありません。")));
}

TEST(WindowFigureExport, all_or_only_the_selected_cells_figures_are_written) {
    struct Case {
        FigureExportChoice::Format format;
        bool selectedOnly;
        const char* file;
        // What the file holds of each square's figure.
        const char* first;
        const char* second;
        bool firstWritten;
    };
    const Case cases[] = {
        {FigureExportChoice::Format::Svg, false, "all.svg", "id=\"f1-1-0\"", "id=\"f1-2-0\"", true},
        {FigureExportChoice::Format::Svg, true, "one.svg", "id=\"f1-1-0\"", "id=\"f1-2-0\"", false},
        {FigureExportChoice::Format::Dxf, false, "all.dxf", "1\\U+884C1\\U+5217",
         "1\\U+884C2\\U+5217", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WindowFixture f;
        frmTab& w = f.Start();
        MeasureSquare(f, w, 800);
        MeasureSquare(f, w, 1600);
        ASSERT_TRUE(w.Grid().Tag(1, 1) && w.Grid().Tag(1, 2)) << "two squares across the first row";
        Select(f, 1, 2);
        const QString path = f.Path(QString::fromLatin1(c.file));
        f.dialogs.exportChoices.push_back(FigureExportChoice{c.format, c.selectedOnly});
        f.dialogs.ChooseNextFile(path);
        PressExport(f);

        ASSERT_EQ(f.dialogs.exportOffers.size(), 1u);
        EXPECT_EQ(f.dialogs.exportOffers[0].all, 2);
        EXPECT_EQ(f.dialogs.exportOffers[0].selected, 1);
        const FakeDialogs::Shown& save = f.dialogs.shown.at(0);
        ASSERT_EQ(save.kind, Kind::SaveDialog);
        EXPECT_TRUE(save.proposed.startsWith(QStringLiteral("図形_")));
        EXPECT_TRUE(save.proposed.endsWith(QLatin1Char('.') + save.suffix));
        const QByteArray bytes = ReadBytes(path);
        EXPECT_EQ(bytes.contains(c.first), c.firstWritten);
        EXPECT_TRUE(bytes.contains(c.second));
        EXPECT_EQ(f.dialogs.Texts(Kind::Notice),
                  QStringList{path + QStringLiteral("に、ファイル保存しました。")});
    }
}

TEST(WindowFigureExport,
     a_file_that_cannot_be_written_is_told_with_its_reason_and_the_choice_is_offered_again) {
    WindowFixture f;
    frmTab& w = f.Start();
    MeasureSquare(f, w, 800);
    const QString path = f.Path(QStringLiteral("missing/plan.dxf"));
    f.dialogs.exportChoices.push_back(FigureExportChoice{FigureExportChoice::Format::Dxf, false});
    f.dialogs.ChooseNextFile(path);
    w.ExportFigures();
    const QStringList notices = f.dialogs.Texts(Kind::Notice);
    ASSERT_EQ(notices.size(), 1);
    const QString told = path + QStringLiteral("に、ファイル保存できませんでした。\n");
    EXPECT_TRUE(notices[0].startsWith(told)) << notices[0].toStdString();
    EXPECT_GT(notices[0].size(), told.size()) << "the reason follows";
    EXPECT_FALSE(QFileInfo::exists(path));

    // Asked again, the box starts from the last choice; cancelled, nothing
    // more happens.
    w.ExportFigures();
    ASSERT_EQ(f.dialogs.exportOffers.size(), 2u);
    EXPECT_EQ(f.dialogs.exportOffers[1].preset.format, FigureExportChoice::Format::Dxf);
    EXPECT_EQ(f.dialogs.Count(Kind::SaveDialog), 1);
}

TEST(WindowFigureExport, a_drawing_page_the_pad_shows_gives_the_svg_its_size) {
    WindowFixture f;
    f.services.pageSizeMm = [](const QString& file, int page) -> std::optional<QSizeF> {
        if (file == QStringLiteral("plan.pdf") && page == 2) return QSizeF(594, 420);
        return std::nullopt;
    };
    frmTab& w = f.Start();
    auto figure = std::make_shared<KeptFigure>();
    figure->mode = FigureMode::TwoPointDistance;
    figure->points = {{0, 0}, {800, 0}};
    figure->countsPerMm = 80;
    figure->source = FigureSourceKind::Drawing;
    figure->sourceName = QStringLiteral("plan.pdf");
    figure->page = 2;
    figure->value = QStringLiteral("10.00");
    w.Grid().SetTextMatrix(3, 2, figure->value);
    ASSERT_TRUE(w.Grid().SetTag(3, 2, figure));
    const QString path = f.Path(QStringLiteral("plan.svg"));
    f.dialogs.exportChoices.push_back(FigureExportChoice{});
    f.dialogs.ChooseNextFile(path);
    w.ExportFigures();
    EXPECT_TRUE(ReadBytes(path).contains("width=\"594mm\" height=\"420mm\""))
        << ReadBytes(path).constData();
}

TEST(WindowFigureExport, files_a_page_each_adds_are_not_overwritten_unasked) {
    for (const bool yes : {false, true}) {
        WindowFixture f;
        frmTab& w = f.Start();
        for (const int page : {1, 2}) {
            auto figure = std::make_shared<KeptFigure>();
            figure->points = {{0, 0}, {800, 0}};
            figure->countsPerMm = 80;
            figure->source = FigureSourceKind::Drawing;
            figure->sourceName = QStringLiteral("plan.pdf");
            figure->page = page;
            figure->value = QStringLiteral("10.00");
            w.Grid().SetTextMatrix(page, 1, figure->value);
            ASSERT_TRUE(w.Grid().SetTag(page, 1, figure));
        }
        const QString second = f.Path(QStringLiteral("out-p2.svg"));
        ASSERT_TRUE(WriteBytes(second, "kept"));
        f.dialogs.exportChoices.push_back(FigureExportChoice{});
        f.dialogs.ChooseNextFile(f.Path(QStringLiteral("out.svg")));
        f.dialogs.AnswerNext(yes);
        w.ExportFigures();
        const QStringList asked = f.dialogs.Texts(Kind::Question);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].endsWith(second)) << asked[0].toStdString();
        EXPECT_EQ(ReadBytes(second) == "kept", !yes);
        EXPECT_EQ(QFileInfo::exists(f.Path(QStringLiteral("out-p1.svg"))), yes);
        if (yes) {
            EXPECT_TRUE(
                f.dialogs.Texts(Kind::Notice)
                    .value(0)
                    .startsWith(QStringLiteral("次の 2 個のファイルに、ファイル保存しました。")));
        }
    }
}

TEST(WindowFigureExport, the_box_offers_the_selected_cells_only_when_they_have_figures) {
    struct Case {
        FigureExportChoice preset;
        int selected;
        bool selectedEnabled;
        FigureExportChoice chosen;
    };
    using Format = FigureExportChoice::Format;
    const Case cases[] = {
        {{Format::PdfA3, true}, 2, true, {Format::PdfA3, true}},
        {{Format::Dxf, true}, 0, false, {Format::Dxf, false}},
        {{Format::Svg, false}, 1, true, {Format::Svg, false}},
    };
    for (const Case& c : cases) {
        FigureExportDialog box(c.preset, 3, c.selected);
        auto* selected = box.findChild<QRadioButton*>(QStringLiteral("optExportSelected"));
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(selected->isEnabled(), c.selectedEnabled);
        EXPECT_EQ(box.Choice().format, c.chosen.format);
        EXPECT_EQ(box.Choice().selectedOnly, c.chosen.selectedOnly);
    }
}

TEST(WindowFigureExport, the_pads_button_exports_what_was_measured_on_the_pad) {
    PadRig rig;
    frmTab& w = *rig.f.window;
    // As the composition root wires it.
    rig.Pad().onExportFigures = [&w] { w.ExportFigures(); };
    rig.Choose(1);
    for (const auto& [x, y] : {std::pair{40, 40}, {120, 40}, {120, 120}, {40, 120}})
        rig.Click(x, y);
    rig.Click(80, 80, Qt::RightButton);
    ASSERT_FALSE(rig.Cell(1, 1).isEmpty());
    w.cmdMes_Click(1);

    const QString path = rig.f.Path(QStringLiteral("pad.svg"));
    rig.f.dialogs.exportChoices.push_back(FigureExportChoice{});
    rig.f.dialogs.ChooseNextFile(path);
    auto* button = rig.Pad().findChild<QPushButton*>(QStringLiteral("cmdExportFigures"));
    ASSERT_NE(button, nullptr);
    button->click();
    const QByteArray svg = ReadBytes(path);
    EXPECT_TRUE(svg.contains("id=\"f1-1-0\"")) << svg.constData();
    EXPECT_TRUE(svg.contains("仮想タブレット"));
}

}  // namespace
