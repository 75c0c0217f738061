#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinSoundPlayer.h"

// mmsystem.h needs the types of windows.h before it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

namespace {

struct Call {
    std::wstring sound;  // "-" for none
    unsigned long flags;
    bool operator==(const Call&) const = default;
};

std::vector<Call> calls;

int Record(const wchar_t* sound, void*, unsigned long flags) {
    calls.push_back({sound != nullptr ? sound : L"-", flags});
    return 1;
}

constexpr unsigned long kPlay = SND_FILENAME | SND_ASYNC | SND_NODEFAULT;

}  // namespace

TEST(WinSoundPlayer, every_play_restarts_the_open_file_asynchronously_and_close_stops_it) {
    calls.clear();
    {
        WinSoundPlayer player(&Record);
        player.Play();  // nothing open yet
        player.Open(QStringLiteral("C:/Media/chord.wav"));
        player.Prev();
        player.Play();
        player.Prev();
        player.Play();
        // A new file: the sound of the old one is stopped first.
        player.Open(QStringLiteral("D:\\音\\確認.wav"));
        player.Play();
        player.Close();
        player.Close();
        player.Play();  // closed: silent
    }
    const std::vector<Call> expected = {
        {L"C:\\Media\\chord.wav", kPlay},
        {L"C:\\Media\\chord.wav", kPlay},
        {L"-", 0},
        {L"D:\\音\\確認.wav", kPlay},
        {L"-", 0},
    };
    EXPECT_EQ(calls, expected);
}

TEST(WinSoundPlayer, empty_path_never_reaches_the_system) {
    calls.clear();
    {
        WinSoundPlayer player(&Record);
        player.Open(QString());
        player.Prev();
        player.Play();
        player.Close();
    }
    EXPECT_TRUE(calls.empty());
}
