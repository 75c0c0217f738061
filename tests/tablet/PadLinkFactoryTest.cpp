#include <gtest/gtest.h>

#include <QtGlobal>

#include "NullPadLink.h"
#include "PadLinkFactory.h"
#include "QStringPrinter.h"
#include "ReplayPadLink.h"
#include "TestEnvironment.h"
#ifdef Q_OS_WIN
#include "WintabPadLink.h"
#endif

namespace {

// Sets KALVOR_PAD for one test and puts the old value back.
class PadVariable {
  public:
    explicit PadVariable(const char* value)
        : had_(qEnvironmentVariableIsSet("KALVOR_PAD")), old_(qgetenv("KALVOR_PAD")) {
        if (value == nullptr) {
            qunsetenv("KALVOR_PAD");
        } else {
            qputenv("KALVOR_PAD", value);
        }
    }
    ~PadVariable() {
        if (had_) {
            qputenv("KALVOR_PAD", old_);
        } else {
            qunsetenv("KALVOR_PAD");
        }
    }

  private:
    bool had_;
    QByteArray old_;
};

}  // namespace

#ifdef Q_OS_WIN
// No choice means the Wintab tablet. Wine's wintab32 reports no device, which
// takes the no-tablet path: a library that delivers nothing, and a notice.
TEST(PadLinkFactory, no_choice_opens_the_wintab_tablet_or_says_why_not) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "wintab"}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink([](QObject*) { return quintptr{0}; });
        ASSERT_NE(choice.library, nullptr);
        if (dynamic_cast<WintabPadLink*>(choice.library.get()) != nullptr) {
            EXPECT_FALSE(RunsUnderWine()) << "Wine's wintab32 has no tablet";
            EXPECT_TRUE(choice.loadError.isEmpty());
            continue;
        }
        EXPECT_NE(dynamic_cast<NullPadLink*>(choice.library.get()), nullptr);
        EXPECT_TRUE(choice.loadError.endsWith(QStringLiteral("タブレットなしで続けます。")))
            << choice.loadError.toStdString();
        EXPECT_EQ(choice.library->PadlinkWintab(0, 0), 0);
    }
}
#else
TEST(PadLinkFactory, no_choice_gives_a_silent_library_without_error) {
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink();
        EXPECT_NE(dynamic_cast<NullPadLink*>(choice.library.get()), nullptr);
        EXPECT_TRUE(choice.loadError.isEmpty());
    }
}
#endif

TEST(PadLinkFactory, unknown_library_is_named_in_the_load_error) {
    PadVariable pad("PadLink.dll");
    PadLinkChoice choice = CreatePadLink();
    EXPECT_NE(dynamic_cast<NullPadLink*>(choice.library.get()), nullptr);
    EXPECT_TRUE(choice.loadError.contains(QStringLiteral("PadLink.dll")))
        << choice.loadError.toStdString();
}

TEST(PadLinkFactory, unreadable_replay_file_is_named_and_delivers_nothing) {
    PadVariable pad("replay:/nonexistent/kalvor-replay.txt");
    PadLinkChoice choice = CreatePadLink();
    ASSERT_NE(choice.library, nullptr);
    EXPECT_TRUE(choice.loadError.contains(QStringLiteral("/nonexistent/kalvor-replay.txt")))
        << choice.loadError.toStdString();
    EXPECT_EQ(choice.library->PadlinkWintab(0, 0), 0);
}
