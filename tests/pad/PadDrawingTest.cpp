// A drawing on the on-screen pad: lengths measured on it in the paper's own
// millimetres at every zoom, the page under the pen through zoom and pan,
// files that cannot be opened, and the drawing kept for the next start.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "FileBytes.h"
#include "PadTestSupport.h"

namespace {

class PadDrawingTest : public DrawingPadFixture {
  protected:

    // Every tile in view drawn at the zoom in view.
    void Settle() {
        ASSERT_TRUE(Pad().Drawing());
        ASSERT_TRUE(QTest::qWaitFor([&] {
            View().repaint();
            return Pad().Drawing()->Settled();
        }));
    }
    // Brings the paper point `mm` to `pixel` of the view.
    void Bring(QPointF mm, QPointF pixel) {
        const QPointF now = Pad().Drawing()->Viewport().PixelAt(mm);
        Pad().PanDrawing((pixel - now).toPoint());
    }
    // The first inked pixel of the line's row near `pixel`, looking from the
    // given side: where the drawing shows the line's end.
    QPoint InkedEnd(QPointF pixel, bool fromLeft) {
        Settle();
        const QImage shot = View().grab().toImage();
        std::optional<QPoint> end;
        for (int y = int(pixel.y()) - 3; y <= int(pixel.y()) + 3; ++y)
            for (int x = int(pixel.x()) - 20; x <= int(pixel.x()) + 20; ++x)
                if (shot.valid(x, y) && qGray(shot.pixel(x, y)) < 200 &&
                    (!end || (fromLeft ? x < end->x() : x > end->x())))
                    end = QPoint(x, y);
        EXPECT_TRUE(end) << "no ink near " << pixel.x() << "," << pixel.y();
        return end.value_or(pixel.toPoint());
    }
    FigurePoint PickAt(QPoint pixel) {
        library.PadlinkSetMode(0);
        QTest::mouseClick(&View(), Qt::LeftButton, {}, pixel);
        EXPECT_EQ(DrainAsText(library).size(), 1u);
        return Pad().CountsAt(pixel);
    }

};

}  // namespace

TEST_F(PadDrawingTest, a_100_mm_line_on_the_paper_measures_100_mm_at_every_zoom) {
    ASSERT_TRUE(OpenDrawingNow(Pad(), a4));
    EXPECT_EQ(Pad().windowTitle(), QStringLiteral("仮想タブレット － a4.pdf"));
    const QPointF middle = View().SurfaceRect().center();
    for (const double zoom : {0.25, 1.0, 8.0}) {
        SCOPED_TRACE(zoom);
        Pad().ZoomDrawing(zoom / Pad().Drawing()->Viewport().Zoom(), middle);
        // Each end picked where the drawing shows it, the page moved
        // between them as far as the zoom needs.
        Bring({50, 100}, middle);
        const FigurePoint left = PickAt(InkedEnd(middle, true));
        Bring({150, 100}, middle);
        const FigurePoint right = PickAt(InkedEnd(middle, false));
        // With the default scale ("10" over "800") counts / 80 are the
        // result. Each end is found to the pixel where the drawing inks it:
        // the length to two.
        const double measured = std::hypot(right.x - left.x, right.y - left.y) * 10.0 / 800.0;
        const double pixelMm = 1.0 / Pad().Drawing()->Viewport().PixelsPerMm();
        EXPECT_NEAR(measured, 100.0, 2 * pixelMm);
    }
}

TEST_F(PadDrawingTest,
       a_drawing_opens_from_the_button_ctrl_o_and_a_drop_and_closes_from_its_button) {
    const auto button = [&](const char* name) {
        return Pad().findChild<QPushButton*>(QString::fromLatin1(name));
    };
    struct Case {
        const char* name;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"button", [&] { QTest::mouseClick(button("cmdOpenDrawing"), Qt::LeftButton); }},
        {"ctrl_o", [&] { QTest::keyClick(&View(), Qt::Key_O, Qt::ControlModifier); }},
        {"drop",
         [&] {
             QMimeData mime;
             mime.setUrls({QUrl::fromLocalFile(a4)});
             const QPointF at = View().geometry().center();
             QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, {});
             QApplication::sendEvent(&Pad(), &enter);
             EXPECT_TRUE(enter.isAccepted());
             QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
             QApplication::sendEvent(&Pad(), &drop);
             QApplication::processEvents();  // opened once the drop has ended
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.files = {a4};
        c.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Pad().Drawing() != nullptr; }));
        EXPECT_EQ(Pad().Drawing()->Of().file, QFileInfo(a4).absoluteFilePath());
        QTest::mouseClick(button("cmdCloseDrawing"), Qt::LeftButton);
        EXPECT_EQ(Pad().Drawing(), nullptr);
        EXPECT_FALSE(button("cmdCloseDrawing")->isEnabled());
    }
    EXPECT_EQ(dialogs.filters.size(), 2);
}

// Keys, the wheel and drags with the middle button or Space held move the
// view only; a pick's counts stay on the paper under it.
TEST_F(PadDrawingTest, zoom_and_pan_move_the_view_never_the_pen_and_picks_stay_on_the_paper) {
    ASSERT_TRUE(OpenDrawingNow(Pad(), a4));
    const DrawingViewport& viewport = Pad().Drawing()->Viewport();
    const double step = std::sqrt(2.0);
    const double fitted = viewport.Zoom();
    for (const auto& [key, zoom] : {std::pair{Qt::Key_Plus, fitted * step},
                                    {Qt::Key_Semicolon, fitted * 2},
                                    {Qt::Key_Minus, fitted * step},
                                    {Qt::Key_0, 1.0}}) {
        QTest::keyClick(&View(), key, Qt::ControlModifier);
        EXPECT_NEAR(viewport.Zoom(), zoom, 1e-9) << key;
    }
    const QPointF middle = View().SurfaceRect().center();
    Bring({50, 100}, middle);
    const FigurePoint picked = PickAt(InkedEnd(middle, true));
    const auto expectInkUnderThePick = [&] {
        const QPointF shown = View().CountsToPixels().map(QPointF(picked.x, picked.y));
        const QPoint inked = InkedEnd(shown, true);
        EXPECT_NEAR(inked.x(), shown.x(), 1.5);
        EXPECT_NEAR(inked.y(), shown.y(), 3.0);  // the line is 0.5 mm thick
    };

    library.PadlinkSetMode(1);
    QWheelEvent wheel(middle + QPointF(37, -21), View().mapToGlobal(middle), {}, {0, 360},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&View(), &wheel);
    EXPECT_NEAR(viewport.Zoom(), std::pow(2.0, 0.75), 1e-9);
    expectInkUnderThePick();
    QTest::mousePress(&View(), Qt::MiddleButton, {}, {100, 100});
    QTest::mouseMove(&View(), {60, 130});
    QTest::mouseRelease(&View(), Qt::MiddleButton, {}, {60, 130});
    const QPoint corner = viewport.Corner();
    QTest::keyPress(&View(), Qt::Key_Space);
    QTest::mousePress(&View(), Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&View(), {130, 90});
    QTest::mouseRelease(&View(), Qt::LeftButton, {}, {130, 90});
    QTest::keyRelease(&View(), Qt::Key_Space);
    EXPECT_EQ(viewport.Corner(), corner + QPoint(30, -10));
    EXPECT_TRUE(DrainAsText(library).empty()) << "none is a pen event";
    expectInkUnderThePick();
    QTest::mouseClick(&View(), Qt::LeftButton, {}, {100, 100});
    EXPECT_EQ(DrainAsText(library).size(), 2u) << "without Space the left button is the pen again";
}

TEST_F(PadDrawingTest, a_file_that_cannot_be_read_is_told_once_and_the_pad_stays_as_it_was) {
    ASSERT_TRUE(OpenDrawingNow(Pad(), a4));
    const PadDrawing* open = Pad().Drawing();
    const QString title = Pad().windowTitle();
    // A BMP header of 60,000 × 60,000 pixels: 10 GB once read.
    QByteArray huge("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    for (const quint32 v : {60000u, 60000u})
        huge += QByteArray(reinterpret_cast<const char*>(&v), 4);
    huge += QByteArray("\x01\0\x18\0", 4) + QByteArray(24, '\0');
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString png = dir.filePath(QStringLiteral("whole.png"));
    ASSERT_TRUE(image.save(png));
    struct Case {
        QString path;
        QString why;
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("gone.pdf")), QStringLiteral("見つかりません")},
        {Write(QStringLiteral("damaged.pdf"), ReadBytes(a4).left(40)), QStringLiteral("壊れて")},
        {Write(QStringLiteral("locked.pdf"), ReadBytes(QStringLiteral(":/drawings/encrypted.pdf"))),
         QStringLiteral("パスワード")},
        {Write(QStringLiteral("notes.txt"), "not a drawing"), QStringLiteral("どれでもない")},
        {Write(QStringLiteral("huge.bmp"), huge), QStringLiteral("大きすぎて")},
        {Write(QStringLiteral("cut.png"), ReadBytes(png).left(60)), QStringLiteral("壊れて")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        dialogs.notices.clear();
        dialogs.dpis = {300};
        EXPECT_FALSE(OpenDrawingNow(Pad(), c.path));
        ASSERT_EQ(dialogs.notices.size(), 1);
        EXPECT_TRUE(dialogs.notices[0].contains(QFileInfo(c.path).fileName()));
        EXPECT_TRUE(dialogs.notices[0].contains(c.why)) << dialogs.notices[0].toStdString();
        EXPECT_EQ(Pad().Drawing(), open);
        EXPECT_EQ(Pad().windowTitle(), title);
    }
}

TEST_F(PadDrawingTest,
       the_page_and_a_missing_resolution_are_asked_once_and_a_cancel_opens_nothing) {
    const QString three = dir.filePath(QStringLiteral("three.pdf"));
    ASSERT_TRUE(WriteA4Pdf(three, 3));
    EXPECT_FALSE(OpenDrawingNow(Pad(), three));  // the page chooser cancelled
    dialogs.pagesToChoose = {2};
    ASSERT_TRUE(OpenDrawingNow(Pad(), three));
    EXPECT_EQ(Pad().windowTitle(), QStringLiteral("仮想タブレット － three.pdf（2 / 3 ページ）"));

    // A PNG without pHYs: 300 pixels at the 150 dpi given are 50.8 mm.
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "png"));
    const qsizetype phys = bytes.indexOf("pHYs") - 4;
    ASSERT_GT(phys, 0);
    bytes.remove(phys, 4 + 4 + 9 + 4);
    const QString scan = dir.filePath(QStringLiteral("scan.png"));
    ASSERT_TRUE(WriteBytes(scan, bytes));
    dialogs.asked.clear();
    EXPECT_FALSE(OpenDrawingNow(Pad(), scan));  // the resolution cancelled
    EXPECT_EQ(Pad().windowTitle(), QStringLiteral("仮想タブレット － three.pdf（2 / 3 ページ）"));
    dialogs.dpis = {150};
    ASSERT_TRUE(OpenDrawingNow(Pad(), scan));
    ASSERT_TRUE(OpenDrawingNow(Pad(), scan));
    EXPECT_EQ(dialogs.asked,
              QStringList({QStringLiteral("dpi scan.png 300"), QStringLiteral("dpi scan.png 300")}))
        << "asked again only after a cancel";
    EXPECT_NEAR(Pad().Drawing()->SizeMm().width(), 50.8, 1e-9);

    Pad().CloseDrawing();
    EXPECT_EQ(Pad().Drawing(), nullptr);
    EXPECT_EQ(Pad().windowTitle(), QStringLiteral("仮想タブレット"));
}

TEST_F(PadDrawingTest, the_drawing_comes_back_where_it_was_after_a_restart_or_a_crash) {
    const QString three = dir.filePath(QStringLiteral("three.pdf"));
    ASSERT_TRUE(WriteA4Pdf(three, 3));
    for (const bool crash : {false, true}) {
        SCOPED_TRACE(crash ? "crash" : "restart");
        FakePadSettings kept;
        QString title;
        double zoom = 0;
        QPointF centre;
        {
            PadWindow first;
            first.SetDialogs(&dialogs);
            first.SetSettings(&kept);
            EXPECT_EQ(kept.writes, 0) << "nothing written before a drawing is opened";
            dialogs.pagesToChoose = {3};
            ASSERT_TRUE(OpenDrawingNow(first, three));
            // Kept once it has drawn.
            ASSERT_TRUE(QTest::qWaitFor([&] { return first.Drawing()->Rendered(); }));
            first.ZoomDrawing(2.5, {40, 30});
            first.PanDrawing({-70, 25});
            const int written = kept.writes;
            title = first.windowTitle();
            zoom = first.Drawing()->Viewport().Zoom();
            centre = first.Drawing()->Viewport().CentreMm();
            // What a crash leaves: the settings as written by then, once
            // the pause after the last move has passed.
            if (crash) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return kept.writes > written; },
                                            DrawingMemory::kPauseMs * 4));
                const FakePadSettings written = kept;
                first.SetSettings(nullptr);
                kept = written;
            }
        }
        PadWindow again;
        FakePadDialogs quiet;
        again.SetDialogs(&quiet);
        again.SetSettings(&kept);
        RestoreDrawingNow(again);
        ASSERT_TRUE(again.Drawing());
        EXPECT_EQ(again.windowTitle(), title);
        EXPECT_TRUE(quiet.notices.isEmpty());
        EXPECT_NEAR(again.Drawing()->Viewport().Zoom(), zoom, 1e-4);
        EXPECT_NEAR(again.Drawing()->Viewport().CentreMm().x(), centre.x(), 0.5);
        EXPECT_NEAR(again.Drawing()->Viewport().CentreMm().y(), centre.y(), 0.5);
    }

    // A file gone since is told once; the pad starts blank, and the next
    // start says nothing. (Windows deletes no file that is open.)
    {
        PadWindow first;
        first.SetDialogs(&dialogs);
        first.SetSettings(&settings);
        dialogs.pagesToChoose = {1};
        ASSERT_TRUE(OpenDrawingNow(first, three));
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.Drawing()->Rendered(); }));
    }
    ASSERT_TRUE(QFile::remove(three));
    for (const int notices : {1, 0}) {
        PadWindow again;
        FakePadDialogs told;
        again.SetDialogs(&told);
        again.SetSettings(&settings);
        RestoreDrawingNow(again);
        EXPECT_EQ(again.Drawing(), nullptr);
        EXPECT_EQ(told.notices.size(), notices);
    }
}
