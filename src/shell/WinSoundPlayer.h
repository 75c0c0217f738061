#pragma once

#include <QString>

#include "shell/SoundPlayer.h"

// The capture sound through the system's own PlaySound, for Windows, where
// the program ships without Qt Multimedia. PlaySound reads the wave file at
// every play, plays it asynchronously and cuts off a sound still playing, so
// a new request always starts from the beginning and Prev has nothing to do.
// A missing or unplayable file is silent: the system's default sound is not
// put in its place.
class WinSoundPlayer : public SoundPlayer {
  public:
    // PlaySoundW's shape: sound, module, flags; nonzero on success.
    using PlayFunction = int (*)(const wchar_t* sound, void* module, unsigned long flags);

    // Plays through `play`; tests pass a recorder. Null: PlaySoundW.
    explicit WinSoundPlayer(PlayFunction play = nullptr);
    ~WinSoundPlayer() override;

    void Open(const QString& path) override;
    void Prev() override;
    void Play() override;
    void Close() override;

  private:
    PlayFunction play_;
    // The open file in native form; empty when none is open.
    QString path_;
};
