#include "shell/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() = default;

QSoundEffect& QtSoundPlayer::Effect() {
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        effect_->setSource(source_);
    }
    return *effect_;
}

void QtSoundPlayer::Open(const QString& path) {
    const QFileInfo file(path);
    // A path that is not a file here (the Windows default on Linux) stays
    // silent without asking the backend to load it.
    // A path beginning with ":" is the program's built-in sound.
    if (!file.isFile())
        source_ = QUrl();
    else if (path.startsWith(QLatin1Char(':')))
        source_ = QUrl(QStringLiteral("qrc") + path);
    else
        source_ = QUrl::fromLocalFile(file.absoluteFilePath());
    if (effect_) {
        effect_->setSource(source_);
    } else if (!source_.isEmpty()) {
        QTimer::singleShot(0, this, [this] { Effect(); });
    }
}

void QtSoundPlayer::Prev() {
    if (effect_) effect_->stop();
}

void QtSoundPlayer::Play() {
    if (source_.isEmpty()) return;
    Effect().play();
}

void QtSoundPlayer::Close() {
    source_ = QUrl();
    if (effect_) {
        effect_->stop();
        effect_->setSource(QUrl());
    }
}

// The entry point of the sound module.
extern "C" Q_DECL_EXPORT SoundPlayer* KalvorSoundPlayer() { return new QtSoundPlayer; }
