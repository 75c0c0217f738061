#include "shell/LoadedSoundPlayer.h"

#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "files/ProgramModule.h"

LoadedSoundPlayer::LoadedSoundPlayer() = default;

LoadedSoundPlayer::~LoadedSoundPlayer() = default;

SoundPlayer* LoadedSoundPlayer::Player() {
    if (!loadTried_) {
        loadTried_ = true;
        QString why;
        using Entry = SoundPlayer* (*)();
        const auto entry = reinterpret_cast<Entry>(
            KALVOR_PROGRAM_MODULE(KALVOR_SOUND_MODULE).Resolve(KALVOR_SOUND_PLAYER_ENTRY, why));
        if (entry != nullptr) {
            player_.reset(entry());
            if (!path_.isEmpty()) player_->Open(path_);
        } else {
            std::fprintf(stderr, "no capture sound: %s\n", qPrintable(why));
        }
    }
    return player_.get();
}

void LoadedSoundPlayer::Open(const QString& path) {
    path_ = path;
    if (player_) {
        player_->Open(path);
    } else if (!loadTried_ && QFileInfo(path).isFile()) {
        // A path that is not a file here (the Windows default on Linux)
        // never loads the module.
        QTimer::singleShot(0, this, [this] { Player(); });
    }
}

void LoadedSoundPlayer::Prev() {
    if (player_) player_->Prev();
}

void LoadedSoundPlayer::Play() {
    if (path_.isEmpty() || !QFileInfo(path_).isFile()) return;
    if (SoundPlayer* player = Player()) player->Play();
}

void LoadedSoundPlayer::Close() {
    path_.clear();
    if (player_) player_->Close();
}
