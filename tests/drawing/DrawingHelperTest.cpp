// The helper's client against helpers that misbehave: whatever a helper
// taken over by a drawing does, Kalvor hears one failure and goes on.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "drawing/DrawingHelper.h"

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

        DrawingHelper::Failure failure = DrawingHelper::Failure::None;
        const DrawingFile::Probe probe = helper.Inspect(QStringLiteral("/d/plan.pdf"), failure);
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(probe.error, helper.Describe(c.failure));
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
