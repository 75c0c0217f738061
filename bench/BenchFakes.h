#pragma once

// The window's services for benchmarks: dialogs that answer at once, no
// sound, a clipboard in memory; and the main window over them.

#include "exchange/Clipboard.h"
#include "shell/Dialogs.h"
#include "shell/Edition.h"
#include "FakePadLink.h"
#include "shell/SoundPlayer.h"
#include "shell/frmTab.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class SilentDialogs : public Dialogs {
public:
    bool Ask(const QString&) override { return true; }
    void Notify(const QString&) override {}
    Answer AskYesNoCancel(const QString&) override { return Answer::Yes; }
    QString SaveFileName(const QString&, const QString& preset, const QString&, const QString&,
                         const QString&) override {
        return preset;
    }
    QString OpenFileName(const QString&, const QString& preset, const QString&) override {
        return preset;
    }
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

// The main window over the fakes, its files in a directory of its own,
// not yet loaded.
struct BenchWindow {
    explicit BenchWindow(const Edition& edition = FullEdition(), FigureDisplay* figure = nullptr) {
        services.tablet = &tablet;
        services.sound = &sound;
        services.dialogs = &dialogs;
        services.clipboard = &clipboard;
        services.dataDirectory = dir.path();
        services.executableDirectory = dir.path();
        services.executableBaseName = edition.executableName;
        services.figure = figure;
        window = std::make_unique<frmTab>(edition, services);
    }

    QTemporaryDir dir;
    FakePadLink tablet;
    SilentSound sound;
    SilentDialogs dialogs;
    MemoryClipboard clipboard;
    frmTabServices services;
    std::unique_ptr<frmTab> window;
};
