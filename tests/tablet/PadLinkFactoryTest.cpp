#include <gtest/gtest.h>

#include <QtGlobal>
#include <string>

#include "NullPadLink.h"
#include "PadLinkFactory.h"
#include "QStringPrinter.h"
#include "ReplayPadLink.h"

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

TEST(PadLinkFactory, no_choice_gives_a_silent_library_without_error) {
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink();
        EXPECT_NE(dynamic_cast<NullPadLink*>(choice.library.get()), nullptr);
        EXPECT_TRUE(choice.loadError.isEmpty());
    }
}

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

TEST(PadLinkFactory, virtual_asks_for_the_on_screen_pad_and_only_it_does) {
    for (const char* value : {"virtual", "Virtual", "replay:/nonexistent"}) {
        PadVariable pad(value);
        PadLinkChoice choice = CreatePadLink();
        EXPECT_EQ(choice.onScreenPad, value == std::string("virtual")) << value;
    }
}
