// Drawings built to crash, hang or exhaust the readers: Kalvor goes on
// measuring, says once what happened, and does not open them again at the
// next start; closing never waits for them; the settings keep only what
// they can give back.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FileBytes.h"
#include "HostileDrawings.h"
#include "PadTestSupport.h"

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

class HostileDrawingTest : public DrawingPadFixture {
  protected:
    void OpenAndDraw(PadWindow& pad, const QString& path) {
        ASSERT_TRUE(OpenDrawingNow(pad, path));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pad.Drawing()->Rendered(); }));
    }
    // A pick on the pad reaches the library.
    void ExpectMeasuringGoesOn() {
        library.PadlinkSetMode(0);
        QTest::mouseClick(&View(), Qt::LeftButton, {}, View().SurfaceRect().center());
        EXPECT_EQ(DrainAsText(library).size(), 1u);
    }
    QString Note() {
        const auto* note = Pad().findChild<QLabel*>(QStringLiteral("lblDrawingNote"));
        return note != nullptr && note->isVisible() ? note->text() : QString();
    }
};

}  // namespace

TEST_F(HostileDrawingTest,
       a_drawing_that_crashes_or_hangs_the_reader_is_told_once_and_never_reopened) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString why;
    };
    const Case cases[] = {
        {"deep-function.pdf", DeepFunctionPdf(), QStringLiteral("異常終了")},
        {"slow.pdf", SlowPdf(), QStringLiteral("秒以上かかる")},
    };
    Pad().Helper().SetLimits({qint64(1024) * 1024 * 1024, 2000});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenAndDraw(Pad(), a4);
        ASSERT_FALSE(settings.keys.value(QStringLiteral("PadDrawing")).isEmpty());
        dialogs.notices.clear();
        const QString path = Write(QString::fromLatin1(c.name), c.bytes);
        ASSERT_TRUE(OpenDrawingNow(Pad(), path));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.notices.isEmpty(); }, 10000));
        QTest::qWait(0);
        ASSERT_EQ(dialogs.notices.size(), 1);
        const QString& notice = dialogs.notices.front();
        EXPECT_TRUE(notice.contains(QString::fromLatin1(c.name))) << notice.toStdString();
        // Beside AddressSanitizer the crash is slow: it writes out a stack of
        // 100,000 frames, and the time runs out first.
        EXPECT_TRUE(notice.contains(c.why) ||
                    (!DrawingHelper::kMemoryLimited && notice.contains(QStringLiteral("秒以上"))))
            << notice.toStdString();
        EXPECT_TRUE(notice.contains(QStringLiteral("次回の起動では開きません")));
        EXPECT_TRUE(settings.keys.value(QStringLiteral("PadDrawing")).isEmpty());
        ASSERT_TRUE(Pad().Drawing());
        EXPECT_TRUE(Pad().Drawing()->Failed());
        ExpectMeasuringGoesOn();

        // The next start begins blank, without a word.
        PadWindow again;
        FakePadDialogs quiet;
        again.SetDialogs(&quiet);
        again.SetSettings(&settings);
        RestoreDrawingNow(again);
        EXPECT_EQ(again.Drawing(), nullptr);
        EXPECT_TRUE(quiet.notices.isEmpty());
    }
    // A new helper reads the next drawing.
    OpenAndDraw(Pad(), a4);
}

TEST_F(HostileDrawingTest,
       closing_switching_and_quitting_during_a_slow_drawing_take_under_a_second) {
    const QString slow = Write(QStringLiteral("slow.pdf"), SlowPdf());
    const auto timed = [](const std::function<void()>& step) {
        QElapsedTimer clock;
        clock.start();
        step();
        return clock.elapsed();
    };
    const auto openSlow = [&](PadWindow& pad) {
        ASSERT_TRUE(OpenDrawingNow(pad, slow));
        ASSERT_TRUE(QTest::qWaitFor([&] { return pad.Helper().Busy(); }));
    };
    openSlow(Pad());
    EXPECT_LT(timed([&] { Pad().CloseDrawing(); }), 1000);
    openSlow(Pad());
    EXPECT_LT(timed([&] { Pad().OpenDrawing(a4); }), 1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Pad().Drawing() && Pad().Drawing()->Rendered(); }));
    EXPECT_EQ(Pad().Drawing()->Of().file, QFileInfo(a4).absoluteFilePath());
    {
        auto quitting = std::make_unique<PadWindow>();
        quitting->SetDialogs(&dialogs);
        openSlow(*quitting);
        EXPECT_LT(timed([&] { quitting.reset(); }), 1000);
    }
    EXPECT_TRUE(dialogs.notices.isEmpty()) << dialogs.notices.join(u'\n').toStdString();
}

#ifdef Q_OS_LINUX
// A helper that hangs in every call while the file `stall` is there, and is
// the real one otherwise: a file whose reading never ends.
TEST_F(HostileDrawingTest,
       an_opening_that_hangs_never_holds_up_the_window_and_ends_at_once_when_cancelled) {
    const QString stall = dir.filePath(QStringLiteral("stall"));
    const QString program =
        Write(QStringLiteral("stalling-helper"),
              "#!/bin/sh\n[ -e '" + stall.toUtf8() + "' ] && exec sleep 60\nexec '" +
                  QByteArray(KALVOR_TEST_DRAWING_HELPER) + "' \"$@\"\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    Pad().UseHelper(std::make_unique<DrawingHelper>(program));
    const QString other = dir.filePath(QStringLiteral("other.pdf"));
    ASSERT_TRUE(WriteA4Pdf(other));
    const auto timed = [](const std::function<void()>& step) {
        QElapsedTimer clock;
        clock.start();
        step();
        return clock.elapsed();
    };
    // Opens a4 with the helper hanging: the pad says so and measuring
    // goes on.
    const auto openHanging = [&](PadWindow& pad) {
        ASSERT_TRUE(WriteBytes(stall, {}));
        EXPECT_LT(timed([&] { pad.OpenDrawing(a4); }), 100);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pad.Helper().Busy(); }));
        EXPECT_TRUE(pad.Opening());
        bool ran = false;
        QTimer::singleShot(0, &pad, [&] { ran = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 100));
    };
    const auto closeButton = Pad().findChild<QPushButton*>(QStringLiteral("cmdCloseDrawing"));
    struct Case {
        const char* name;
        std::function<void()> cancel;
        // What the pad shows after.
        QString shown;
    };
    const Case cases[] = {
        {"図面を閉じる", [&] { QTest::mouseClick(closeButton, Qt::LeftButton); }, QString()},
        {"another file",
         [&] {
             QFile::remove(stall);
             Pad().OpenDrawing(other);
         },
         other},
        {"the pad closed", [&] { Pad().hide(); }, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pad().CloseDrawing();
        openHanging(Pad());
        EXPECT_TRUE(Note().contains(QStringLiteral("図面を開いています"))) << Note().toStdString();
        EXPECT_TRUE(closeButton->isEnabled());
        ExpectMeasuringGoesOn();
        EXPECT_LT(timed(c.cancel), 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Pad().Opening(); }, 10000));
        QFile::remove(stall);
        // Another call answered after: the hanging one can no longer be.
        if (c.shown.isEmpty()) {
            Pad().show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&Pad()));
            EXPECT_EQ(Pad().Drawing(), nullptr);
            EXPECT_FALSE(Note().contains(QStringLiteral("図面を開いています")));
        } else {
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return Pad().Drawing() && Pad().Drawing()->Rendered(); }));
            EXPECT_EQ(Pad().Drawing()->Of().file, QFileInfo(c.shown).absoluteFilePath());
        }
        EXPECT_TRUE(dialogs.notices.isEmpty()) << dialogs.notices.join(u'\n').toStdString();
    }
    {
        auto quitting = std::make_unique<PadWindow>();
        quitting->UseHelper(std::make_unique<DrawingHelper>(program));
        openHanging(*quitting);
        EXPECT_LT(timed([&] { quitting.reset(); }), 1000);
    }
    QFile::remove(stall);
    EXPECT_TRUE(OpenDrawingNow(Pad(), a4));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Pad().Drawing()->Rendered(); }));
}
#endif

#ifdef Q_OS_LINUX
// Read from /proc: the helper's largest address space so far, bytes.
static qint64 PeakOf(qint64 pid) {
    const QByteArray status = ReadBytes(QStringLiteral("/proc/%1/status").arg(pid));
    // Between fork and exec the child is still a copy of this test, with
    // its address space: only the helper itself counts.
    if (!status.startsWith("Name:\tkalvor-drawing\n")) return 0;
    const qsizetype at = status.indexOf("VmPeak:");
    if (at < 0) return 0;
    return status.mid(at + 7, status.indexOf('\n', at) - at - 7)
               .trimmed()
               .split(' ')
               .front()
               .toLongLong() *
           1024;
}

TEST_F(HostileDrawingTest, the_helper_never_takes_more_than_its_memory_limit) {
    if (!DrawingHelper::kMemoryLimited) GTEST_SKIP() << "no memory limit beside AddressSanitizer";
    constexpr qint64 kLimit = qint64(512) * 1024 * 1024;
    Pad().Helper().SetLimits({kLimit, 4000});
    // The fill runs out of memory or time at any zoom; the dash only at
    // some, and may draw.
    struct Case {
        const char* name;
        QByteArray bytes;
        bool fails;
    };
    const Case cases[] = {{"fill.pdf", HugeFillPdf(), true}, {"dash.pdf", TinyDashPdf(), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.notices.clear();
        ASSERT_TRUE(OpenDrawingNow(Pad(), Write(QString::fromLatin1(c.name), c.bytes)));
        qint64 peak = 0;
        const bool told = QTest::qWaitFor(
            [&] {
                if (const qint64 pid = Pad().Helper().ProcessId())
                    peak = std::max(peak, PeakOf(pid));
                View().repaint();
                return !dialogs.notices.isEmpty() || Pad().Drawing()->Settled();
            },
            c.fails ? 15000 : 6000);
        EXPECT_GT(peak, 0);
        EXPECT_LE(peak, kLimit);
        if (c.fails) {
            ASSERT_TRUE(told);
            ASSERT_EQ(dialogs.notices.size(), 1);
            EXPECT_TRUE(dialogs.notices.front().contains(QString::fromLatin1(c.name)));
        }
        ExpectMeasuringGoesOn();
    }
}
#endif

TEST_F(HostileDrawingTest, what_is_no_drawing_is_named_for_what_it_is) {
    struct Case {
        QString path;
        QString why;
    };
    std::vector<Case> cases = {
        {dir.path(), QStringLiteral("フォルダー")},
        {Write(QStringLiteral("huge.png"), DeclaredPng(60000, 60000)),
         QStringLiteral("60000 × 60000 ピクセル")},
        {Write(QStringLiteral("empty.pdf"), {}), QStringLiteral("空です")},
    };
#ifdef Q_OS_LINUX
    const QString fifo = dir.filePath(QStringLiteral("pipe.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    cases.push_back({fifo, QStringLiteral("パイプ")});
    cases.push_back({QStringLiteral("/proc/self/maps"), QStringLiteral("特殊なファイル")});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        dialogs.notices.clear();
        dialogs.dpis = {300};
        EXPECT_FALSE(OpenDrawingNow(Pad(), c.path));
        ASSERT_EQ(dialogs.notices.size(), 1);
        EXPECT_TRUE(dialogs.notices[0].contains(c.why)) << dialogs.notices[0].toStdString();
        EXPECT_FALSE(dialogs.notices[0].contains(QStringLiteral("見つかりません")));
    }
}

TEST_F(HostileDrawingTest, a_jpeg_cut_short_opens_with_a_line_saying_part_could_not_be_read) {
    QImage image(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y % 256, 90));
    image.setDotsPerMeterX(7874);
    image.setDotsPerMeterY(7874);
    const QString whole = dir.filePath(QStringLiteral("whole.jpg"));
    ASSERT_TRUE(image.save(whole, "jpeg", 90));
    const QByteArray bytes = ReadBytes(whole);
    const QString cut = Write(QStringLiteral("cut.jpg"), bytes.left(bytes.size() * 6 / 10));

    ASSERT_TRUE(OpenDrawingNow(Pad(), cut));
    EXPECT_TRUE(Note().contains(QStringLiteral("一部を読めませんでした"))) << Note().toStdString();
    ASSERT_TRUE(OpenDrawingNow(Pad(), whole));
    EXPECT_TRUE(Note().isEmpty()) << Note().toStdString();
    EXPECT_TRUE(dialogs.notices.isEmpty());
}

TEST_F(HostileDrawingTest, a_path_the_settings_cannot_hold_is_said_and_never_kept_cut) {
    // 80 three-byte characters a folder: past 499 bytes in two.
    const QString folder = QString(QStringLiteral("図")).repeated(80);
    QDir deep(dir.path());
    ASSERT_TRUE(deep.mkpath(folder + u'/' + folder));
    const QString path = deep.filePath(folder + u'/' + folder + QStringLiteral("/a4.pdf"));
    ASSERT_TRUE(QFile::copy(a4, path));

    OpenAndDraw(Pad(), path);
    EXPECT_TRUE(Note().contains(QStringLiteral("次回は自動で開けません"))) << Note().toStdString();
    EXPECT_TRUE(settings.keys.value(QStringLiteral("PadDrawing")).isEmpty());
    OpenAndDraw(Pad(), a4);
    EXPECT_TRUE(Note().isEmpty());
    EXPECT_EQ(settings.keys.value(QStringLiteral("PadDrawing")), QFileInfo(a4).absoluteFilePath());
}

TEST(DrawingMemory, the_resolution_is_held_to_the_dialogs_range_and_read_back_as_written) {
    struct Case {
        const char* kept;
        double read;
    };
    const Case cases[] = {
        {"1e300", 10000}, {"1e-300", 10}, {"150", 150}, {"-5", 0}, {"nan", 0}, {"299.75", 299.75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        FakePadSettings settings;
        settings.keys = {{QStringLiteral("PadDrawing"), QStringLiteral("/d/scan.png")},
                         {QStringLiteral("PadDrawingDpi"), QString::fromLatin1(c.kept)}};
        const DrawingMemory memory(settings);
        EXPECT_EQ(memory.Recall()->state.untaggedDpi, c.read);
    }
    FakePadSettings settings;
    {
        DrawingMemory memory(settings);
        memory.Remember({QStringLiteral("/d/scan.png"), 1, 1.0, {}, 1234.5678912345}, true);
    }
    EXPECT_EQ(DrawingMemory(settings).Recall()->state.untaggedDpi, 1234.5678912345);
}
