// The helper's client against helpers that misbehave: whatever a helper
// taken over by a drawing does, Kalvor hears one failure and goes on.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include "drawing/DrawingHelper.h"

using Failure = DrawingHelper::Failure;

#ifdef Q_OS_LINUX
TEST(DrawingHelper,
     a_helper_that_dies_hangs_or_answers_nonsense_is_one_failure_and_the_next_call_starts_another) {
    struct Case {
        const char* name;
        const char* script;
        DrawingHelper::Failure failure;
    };
    const Case cases[] = {
        {"dies", "kill -SEGV $$", DrawingHelper::Failure::Crashed},
        {"hangs", "exec sleep 60", DrawingHelper::Failure::TimedOut},
        {"says poppler ran out", "echo 'Out of memory' >&2; exit 1",
         DrawingHelper::Failure::OutOfMemory},
        {"sends a length past any message", "printf '\\377\\377\\377\\377'; exec sleep 60",
         DrawingHelper::Failure::Crashed},
        {"sends a message that is none", "printf '\\000\\000\\000\\002ab'; exec sleep 60",
         DrawingHelper::Failure::Crashed},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString program = dir.filePath(QString::fromLatin1(c.name).replace(u' ', u'-'));
        QFile file(program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
        file.close();
        ASSERT_TRUE(file.setPermissions(file.permissions() | QFile::ExeOwner));
        DrawingHelper helper(program);
        helper.SetLimits({qint64(512) * 1024 * 1024, 500});

        std::optional<DrawingHelper::Failure> inspected;
        helper.Inspect(QStringLiteral("/d/plan.pdf"),
                       [&](const DrawingFile::Probe& probe, DrawingHelper::Failure f) {
                           EXPECT_EQ(probe.error, helper.Describe(c.failure));
                           inspected = f;
                       });
        ASSERT_TRUE(QTest::qWaitFor([&] { return inspected.has_value(); }, 5000));
        EXPECT_EQ(*inspected, c.failure);
        EXPECT_EQ(helper.ProcessId(), 0) << "ended with the call";

        // A drawing's call, answered later, the same way.
        std::optional<DrawingHelper::Failure> heard;
        int calls = 0;
        helper.Render({QStringLiteral("/d/plan.pdf"), 1, 0, {210, 297}, false}, 1.0,
                      QRect(0, 0, 64, 64), [&](const QImage& image, DrawingHelper::Failure f) {
                          EXPECT_TRUE(image.isNull());
                          heard = f;
                          ++calls;
                      });
        ASSERT_TRUE(QTest::qWaitFor([&] { return heard.has_value(); }, 5000));
        EXPECT_EQ(*heard, c.failure);
        QCoreApplication::processEvents();
        EXPECT_EQ(calls, 1);
    }
}
#endif

namespace {

// A one-page A5 PDF file with a line across, in `dir`; its path.
QString WriteA5Pdf(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("a5.pdf"));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A5));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    painter.drawLine(0, 0, 1000, 1000);
    return path;
}

}  // namespace

// The file being opened comes before the drawing shown: an opening call
// abandons a drawing under way, a drawing asked for meanwhile waits, and a
// call dropped is never answered.
TEST(DrawingHelper, an_opening_goes_first_and_a_drawing_asked_meanwhile_waits_for_it) {
    QTemporaryDir dir;
    const QString path = WriteA5Pdf(dir);
    DrawingHelper helper;
    const DrawingHelper::Page page{path, 1, 0, {148, 210}, false};
    QStringList heard;
    const auto render = [&](const char* name) {
        return helper.Render(page, 1.0, QRect(0, 0, 64, 64),
                             [&, name](const QImage& image, Failure f) {
                                 heard << QStringLiteral("%1 %2")
                                              .arg(QLatin1String(name))
                                              .arg(f == Failure::Abandoned ? "abandoned"
                                                   : image.isNull()        ? "blank"
                                                                           : "drawn");
                             });
    };
    const auto inspect = [&](const char* name) {
        return helper.Inspect(path, [&, name](const DrawingFile::Probe& probe, Failure f) {
            heard << QStringLiteral("%1 %2")
                         .arg(QLatin1String(name))
                         .arg(f == Failure::Abandoned ? "abandoned"
                              : probe.error.isEmpty() ? QStringLiteral("%1 page").arg(probe.pages)
                                                      : probe.error);
        });
    };
    const auto waitFor = [&](int answers) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return heard.size() >= answers; }, 10000));
        QCoreApplication::processEvents();
        return heard;
    };

    render("tile");
    inspect("file");
    EXPECT_EQ(waitFor(2), QStringList({"tile abandoned", "file 1 page"}));
    heard.clear();
    inspect("file");
    render("tile");
    EXPECT_EQ(waitFor(2), QStringList({"file 1 page", "tile drawn"}));
    heard.clear();
    // An opening cancelled: the drawing waiting behind it is drawn.
    const DrawingHelper::Ticket dropped = inspect("dropped");
    render("tile");
    helper.Drop(dropped);
    EXPECT_EQ(waitFor(1), QStringList({"tile drawn"}));
    heard.clear();
    // A drawing cancelled while it waits is never answered.
    inspect("file");
    helper.Drop(render("dropped"));
    render("tile");
    EXPECT_EQ(waitFor(2), QStringList({"file 1 page", "tile drawn"}));
}

TEST(DrawingHelper, a_helper_started_while_a_file_is_chosen_is_the_one_that_reads_it) {
    QTemporaryDir dir;
    const QString path = WriteA5Pdf(dir);
    DrawingHelper helper;
    helper.Prepare();
    const qint64 prepared = helper.ProcessId();
    ASSERT_NE(prepared, 0);
    std::optional<DrawingFile::Probe> probe;
    helper.Inspect(path, [&](const DrawingFile::Probe& p, Failure) { probe = p; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe.has_value(); }, 10000));
    EXPECT_EQ(probe->error, QString());
    EXPECT_EQ(probe->pages, 1);
    EXPECT_EQ(helper.ProcessId(), prepared);
}
