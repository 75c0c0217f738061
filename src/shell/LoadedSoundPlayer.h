#pragma once

#include <QObject>
#include <memory>

#include "shell/SoundPlayer.h"

// The capture sound through Qt Multimedia, in a module of its own
// ("kalvor-sound") that is loaded once the message loop runs after a sound
// file is opened, or at the first play if that comes sooner: linking the
// multimedia libraries at start would cost every start, with or without a
// sound. Without the module the sound stays silent, as any player does with a
// file it cannot play.
class LoadedSoundPlayer : public QObject, public SoundPlayer {
  public:
    LoadedSoundPlayer();
    ~LoadedSoundPlayer() override;

    void Open(const QString& path) override;
    void Prev() override;
    void Play() override;
    void Close() override;

  private:
    SoundPlayer* Player();

    std::unique_ptr<SoundPlayer> player_;
    bool loadTried_ = false;
    QString path_;
};

// The module's one entry point, found by this name: a new player, owned by
// the caller.
#define KALVOR_SOUND_PLAYER_ENTRY "KalvorSoundPlayer"
