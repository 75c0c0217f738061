#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/WinSoundPlayer.h"

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

// Each play starts the named file again, asynchronously and without the
// system's default sound in place of a missing file; closing, or opening
// another file, stops what plays. No path, no call.
TEST(WinSoundPlayer, every_play_restarts_the_open_file_and_close_stops_it) {
    calls.clear();
    {
        WinSoundPlayer player(&Record);
        player.Open(QString());
        player.Play();
        player.Open(QStringLiteral("C:/Media/chord.wav"));
        player.Prev();
        player.Play();
        player.Prev();
        player.Play();
        player.Open(QStringLiteral("D:\\音\\確認.wav"));
        player.Play();
        player.Close();
        player.Close();
        player.Play();
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
