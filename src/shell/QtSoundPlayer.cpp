#include "QtSoundPlayer.h"

#include <QFileInfo>
#include <QUrl>

void QtSoundPlayer::Open(const QString& path) {
    const QFileInfo file(path);
    // A path that is not a file here (the Windows default on Linux) stays
    // silent without asking the backend to load it.
    effect_.setSource(file.isFile() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl());
}

void QtSoundPlayer::Prev() { effect_.stop(); }

void QtSoundPlayer::Play() {
    if (effect_.source().isEmpty()) return;
    effect_.play();
}

void QtSoundPlayer::Close() {
    effect_.stop();
    effect_.setSource(QUrl());
}
