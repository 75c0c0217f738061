#pragma once

#include "SoundPlayer.h"

#include <QSoundEffect>

// The capture sound through Qt Multimedia. QSoundEffect decodes the whole
// wave file when it is opened and plays it without blocking, which suits a
// short confirmation sound; a missing or unplayable file simply stays silent.
class QtSoundPlayer : public SoundPlayer {
public:
    void Open(const QString& path) override;
    void Prev() override;
    void Play() override;
    void Close() override;

private:
    QSoundEffect effect_;
};
