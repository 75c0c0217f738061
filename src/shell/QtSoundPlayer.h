#pragma once

#include "shell/SoundPlayer.h"

#include <QObject>
#include <QUrl>

#include <memory>

class QSoundEffect;

// The capture sound through Qt Multimedia. QSoundEffect decodes the whole
// wave file when it is opened and plays it without blocking, which suits a
// short confirmation sound; a missing or unplayable file simply stays silent.
// Loading the multimedia backend takes long next to the rest of the start,
// so the effect is made once the message loop runs (the window is up by
// then), or at the first play if that comes sooner. Built into the sound
// module that LoadedSoundPlayer loads.
class QtSoundPlayer : public QObject, public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void Open(const QString& path) override;
    void Prev() override;
    void Play() override;
    void Close() override;

private:
    QSoundEffect& Effect();

    std::unique_ptr<QSoundEffect> effect_;
    QUrl source_;
};
