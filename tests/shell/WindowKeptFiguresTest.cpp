// Figures kept with measured values through the real window: a measured
// value keeps its points, loses them when typed over or deleted and gets them
// back with Ctrl+Z, and a crash brings them back with their values.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "QStringPrinter.h"
#include "WindowFixture.h"
#include "figures/FigureFile.h"
#include "PadRig.h"

namespace {

const KeptFigure* FigureAt(frmTab& w, int row, int col) {
    return dynamic_cast<const KeptFigure*>(w.Grid().Tag(row, col).get());
}

// A 10 mm square picked in "多点の面積" and ended with the side switch:
// 100.00 with the default scale.
void MeasureSquare(WindowFixture& f, frmTab& w) {
    auto* option = f.Find<QRadioButton>(QStringLiteral("optMes(1)"));
    if (!option->isChecked()) {
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
        w.cmdMes_Click(0);
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {800, 0}, {800, 800}, {0, 800}}) f.tablet.PushPick(x, y);
    f.Deliver();
    f.tablet.PushSide();
    f.Deliver();
}

TEST(WindowKeptFigures, a_measured_value_keeps_its_figure_until_typed_over_and_ctrl_z_brings_both_back) {
    WindowFixture f;
    f.services.tabletName = QStringLiteral("Test Pen");
    frmTab& w = f.Start();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    MeasureSquare(f, w);
    ASSERT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("100.00"));
    const KeptFigure* kept = FigureAt(w, 1, 1);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->mode, FigureMode::PickedArea);
    EXPECT_EQ(kept->points.size(), 4u);
    EXPECT_EQ(kept->source, FigureSourceKind::Tablet);
    EXPECT_EQ(kept->sourceName, QStringLiteral("Test Pen"));
    EXPECT_EQ(kept->referenceLength, QStringLiteral("10"));
    EXPECT_EQ(kept->tabletLength, QStringLiteral("800"));
    EXPECT_EQ(ReadFigureFile(f.Path(QStringLiteral("Save.figures"))).figures.size(), 1u)
        << "written with the autosave";

    auto* view = f.Find<QTableView>(QStringLiteral("msgMei"));
    w.Grid().SetRow(1);
    w.Grid().SetCol(1);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("7"));
    EXPECT_EQ(FigureAt(w, 1, 1), nullptr) << "a typed value has no figure";
    // The figures file, written before the autosave, may still hold the old
    // figure for an autosave that still holds the old value; never one for
    // the typed value.
    for (const KeptFigureAt& at : ReadFigureFile(f.Path(QStringLiteral("Save.figures"))).figures)
        EXPECT_NE(at.figure->value, QStringLiteral("7"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("100.00"));
    EXPECT_EQ(FigureAt(w, 1, 1), kept) << "the same figure, in the same step";
    EXPECT_EQ(ReadFigureFile(f.Path(QStringLiteral("Save.figures"))).figures.size(), 1u);

    w.Grid().SetRow(2);
    w.PutValue(3, false);  // a total or a pasted value: no figure
    EXPECT_EQ(FigureAt(w, 2, 1), nullptr);
}

TEST(WindowKeptFigures, after_a_crash_every_figure_comes_back_with_its_value) {
    WindowFixture f;
    frmTab& w = f.Start();
    MeasureSquare(f, w);
    MeasureSquare(f, w);
    ASSERT_NE(FigureAt(w, 1, 2), nullptr);
    f.Kill();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    WindowFixture later;
    later.services.dataDirectory = f.dir.path();
    later.services.executableDirectory = f.dir.path();
    frmTab& again = later.Start(false);
    ASSERT_EQ(again.Grid().TextMatrix(1, 2), QStringLiteral("100.00"));
    for (int col : {1, 2}) {
        const KeptFigure* back = FigureAt(again, 1, col);
        ASSERT_NE(back, nullptr) << col;
        EXPECT_EQ(back->points.size(), 4u);
    }
    EXPECT_EQ(again.Grid().Tags().size(), 2u);
}

TEST(WindowKeptFigures, the_reduced_edition_keeps_figures_during_the_run_and_writes_no_file) {
    WindowFixture f(ReducedEdition());
    frmTab& w = f.Start();
    MeasureSquare(f, w);
    EXPECT_NE(FigureAt(w, 1, 1), nullptr);
    EXPECT_FALSE(QFileInfo::exists(f.Path(QStringLiteral("Save.figures"))));
}

}  // namespace

namespace {

TEST(WindowKeptFigures, a_figure_measured_on_the_pad_is_outlined_there_and_a_click_on_it_selects_its_cell) {
    PadRig rig;
    frmTab& w = *rig.f.window;
    rig.f.Find<QRadioButton>(QStringLiteral("optMes(1)"))->setChecked(true);
    w.cmdMes_Click(0);
    for (const QPoint p : {QPoint(40, 40), QPoint(140, 40), QPoint(140, 140), QPoint(40, 140)})
        rig.Click(p.x(), p.y());
    QTest::mouseClick(&rig.Pad().View(), Qt::RightButton, {}, QPoint(90, 90));
    QTRY_VERIFY(!w.Grid().TextMatrix(1, 1).isEmpty());
    const KeptFigure* kept = FigureAt(w, 1, 1);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->source, FigureSourceKind::BlankPad);
    QTRY_COMPARE(rig.Pad().View().Marks().Count(), std::size_t{1});
    EXPECT_FALSE(rig.Pad().View().Marks().HighlightedBounds()) << "its cell is no longer selected";

    // Back on the first cell: the outline stands out.
    w.Grid().SetRow(1);
    w.Grid().SetCol(1);
    QTRY_VERIFY(rig.Pad().View().Marks().HighlightedBounds().has_value());

    // While a run collects points a click on the outline is a pick; after
    // "計測中止" it selects the outline's cell.
    w.Grid().SetRow(3);
    rig.Click(90, 90);
    EXPECT_EQ(w.Grid().Row(), 3);
    w.cmdMes_Click(1);
    rig.Click(90, 90);
    EXPECT_EQ(std::make_pair(w.Grid().Row(), w.Grid().Col()), std::make_pair(1, 1));

    auto* show = rig.Pad().findChild<QCheckBox*>(QStringLiteral("chkShowFigures"));
    ASSERT_NE(show, nullptr);
    EXPECT_TRUE(show->isChecked());
    show->setChecked(false);
    EXPECT_TRUE(rig.Pad().View().Marks().Empty());
    show->setChecked(true);

    // Deleted, its outline goes; Ctrl+Z brings both back.
    w.activateWindow();
    QTRY_VERIFY(QGuiApplication::focusWindow() == w.windowHandle());
    auto* grid = rig.f.Find<QWidget>(QStringLiteral("msgMei"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(w.Grid().TextMatrix(1, 1).isEmpty());
    QTRY_VERIFY(rig.Pad().View().Marks().Empty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(rig.Pad().View().Marks().Count(), std::size_t{1});
}

// A tablet plugged in while the pad stood in for it feeds the same library:
// what it measures is paper on the tablet, not the pad's page.
TEST(WindowKeptFigures, a_figure_from_a_tablet_beside_the_pad_is_the_tablets_not_the_pads) {
    PadRig rig;
    frmTab& w = *rig.f.window;
    rig.f.Find<QRadioButton>(QStringLiteral("optMes(1)"))->setChecked(true);
    w.cmdMes_Click(0);
    for (const auto& [x, y] : {std::pair{0, 0}, {800, 0}, {800, 800}, {0, 800}}) rig.f.tablet.PushPick(x, y);
    rig.f.Deliver();
    rig.f.tablet.PushSide();
    rig.f.Deliver();
    QTRY_VERIFY(FigureAt(w, 1, 1) != nullptr);
    EXPECT_EQ(FigureAt(w, 1, 1)->source, FigureSourceKind::Tablet);

    // Then on the pad again: the pad's, in its own counts per millimetre.
    for (const QPoint p : {QPoint(40, 40), QPoint(140, 40), QPoint(140, 140)}) rig.Click(p.x(), p.y());
    QTest::mouseClick(&rig.Pad().View(), Qt::RightButton, {}, QPoint(90, 90));
    QTRY_VERIFY(FigureAt(w, 1, 2) != nullptr);
    EXPECT_EQ(FigureAt(w, 1, 2)->source, FigureSourceKind::BlankPad);
    EXPECT_EQ(FigureAt(w, 1, 2)->countsPerMm, PadWindow::kCountsPerMillimetre);
    w.Grid().SetRow(1);
    // Only the pad's figure is drawn on the pad.
    QTRY_COMPARE(rig.Pad().View().Marks().Count(), std::size_t{1});
}

}  // namespace
