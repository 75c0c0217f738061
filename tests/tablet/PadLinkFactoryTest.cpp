#include <gtest/gtest.h>

#include <QtGlobal>
#include <string>

#include "tablet/PadLinkFactory.h"
#include "QStringPrinter.h"
#include "tablet/replay/ReplayPadLink.h"
#include "TestEnvironment.h"
#ifdef Q_OS_WIN
#include "tablet/wintab/WintabPadLink.h"
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

// Which tablet an unset variable finds depends on the machine; the Linux
// choice is tested on a fake system in EvdevPadChoiceTest.
TEST(PadLinkFactory, no_tablet_choices_need_no_device_and_give_no_error) {
    PadLinkChoice none = ChoosePadLink(QStringLiteral("none"));
    ASSERT_NE(none.library, nullptr);
    EXPECT_FALSE(none.library->CanHoldPen()) << "no device";
    EXPECT_FALSE(none.onScreenPad);
    EXPECT_TRUE(none.loadError.isEmpty());

    PadLinkChoice pad = ChoosePadLink(QStringLiteral("virtual"));
    EXPECT_TRUE(pad.onScreenPad);
    EXPECT_TRUE(pad.loadError.isEmpty());
}

#ifdef Q_OS_WIN
// No choice means the Wintab tablet. Wine's wintab32 reports no device, which
// takes the no-tablet path: a notice, then the on-screen pad.
TEST(PadLinkFactory, no_choice_opens_the_wintab_tablet_or_says_why_not) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "wintab"}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink([](QObject*) { return quintptr{0}; });
        if (dynamic_cast<WintabPadLink*>(choice.library.get()) != nullptr) {
            EXPECT_FALSE(RunsUnderWine()) << "Wine's wintab32 has no tablet";
            EXPECT_TRUE(choice.loadError.isEmpty());
            continue;
        }
        EXPECT_TRUE(choice.onScreenPad);
        EXPECT_TRUE(choice.loadError.endsWith(OnScreenPadFollows()))
            << choice.loadError.toStdString();
    }
}
#endif

TEST(PadLinkFactory, unknown_library_is_named_in_the_load_error) {
    PadVariable pad("PadLink.dll");
    PadLinkChoice choice = CreatePadLink();
    EXPECT_EQ(choice.library->PadlinkWintab(0, 0), 0);
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

TEST(PadLinkFactory, virtual_asks_for_the_on_screen_pad_and_only_it_does) {
    for (const char* value : {"virtual", "Virtual", "replay:/nonexistent"}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink();
        EXPECT_EQ(choice.onScreenPad, value == std::string("virtual")) << value;
    }
}
