#include "shell/WinSoundPlayer.h"

#include <QDir>

// mmsystem.h needs the types of windows.h before it.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

namespace {

int SystemPlaySound(const wchar_t* sound, void* module, unsigned long flags) {
    return ::PlaySoundW(sound, static_cast<HMODULE>(module), flags);
}

}  // namespace

WinSoundPlayer::WinSoundPlayer(PlayFunction play) : play_(play ? play : &SystemPlaySound) {}

WinSoundPlayer::~WinSoundPlayer() { Close(); }

void WinSoundPlayer::Open(const QString& path) {
    Close();
    // The file is only named here: PlaySound opens it at every play, so a
    // file that appears later plays, and one that is missing stays silent.
    path_ = QDir::toNativeSeparators(path);
}

void WinSoundPlayer::Prev() {}

void WinSoundPlayer::Play() {
    if (path_.isEmpty()) return;
    // Asynchronous: the handler goes on while the sound plays. A file that
    // cannot be played fails silently, without the default beep.
    play_(reinterpret_cast<const wchar_t*>(path_.utf16()), nullptr,
          SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void WinSoundPlayer::Close() {
    if (path_.isEmpty()) return;
    // Stops a sound still playing, so that the file is no longer in use.
    play_(nullptr, nullptr, 0);
    path_.clear();
}
