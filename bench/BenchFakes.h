#pragma once

// The window's services for benchmarks: dialogs that answer at once, no
// sound, a clipboard in memory.

#include "Clipboard.h"
#include "Dialogs.h"
#include "SoundPlayer.h"

#include <QString>

class SilentDialogs : public Dialogs {
public:
    bool Ask(const QString&) override { return true; }
    void Notify(const QString&) override {}
    QString SaveFileName(const QString&, const QString& preset) override { return preset; }
    QString OpenFileName(const QString&, const QString& preset) override { return preset; }
};

class SilentSound : public SoundPlayer {
public:
    void Open(const QString&) override {}
    void Prev() override {}
    void Play() override {}
    void Close() override {}
};

class MemoryClipboard : public Clipboard {
public:
    void Clear() override { text_.clear(); }
    void SetText(const QString& text) override { text_ = text; }
    bool HasText() const override { return !text_.isEmpty(); }
    QString Text() const override { return text_; }

private:
    QString text_;
};
