#pragma once

#include <QString>

// The wave-audio player that plays the capture sound. It fails silently: a
// file that does not exist or cannot be played gives silence, never a
// message, and every later command is still accepted.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;

    // Holds the file open for later playing; complete when it returns.
    virtual void Open(const QString& path) = 0;
    // Back to the start of the sound.
    virtual void Prev() = 0;
    // Plays from the current position and returns at once; a play while the
    // sound is still playing (after Prev) starts it again from its beginning.
    virtual void Play() = 0;
    // Releases the file.
    virtual void Close() = 0;
};
