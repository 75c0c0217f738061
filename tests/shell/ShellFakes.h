#pragma once

#include "Clipboard.h"
#include "Dialogs.h"
#include "SoundPlayer.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Answers the window's questions from a script and records every box shown.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        enum class Kind { Question, Notice, SaveDialog, OpenDialog } kind;
        QString text;    // the message, or the dialog's filter
        QString preset;  // the file dialog's preset name
    };

    // The next questions' answers; with none queued a question is answered
    // with defaultAnswer.
    void AnswerNext(bool yes) { answers.push_back(yes); }
    // What the next file dialogs leave as their file name.
    void ChooseNextFile(const QString& name) { files.push_back(name); }

    bool Ask(const QString& text) override {
        shown.push_back({Shown::Kind::Question, text, {}});
        if (answers.empty()) return defaultAnswer;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void Notify(const QString& text) override { shown.push_back({Shown::Kind::Notice, text, {}}); }
    QString SaveFileName(const QString& filter, const QString& preset) override {
        shown.push_back({Shown::Kind::SaveDialog, filter, preset});
        return NextFile(preset);
    }
    QString OpenFileName(const QString& filter, const QString& preset) override {
        shown.push_back({Shown::Kind::OpenDialog, filter, preset});
        return NextFile(preset);
    }

    int Count(Shown::Kind kind) const {
        int n = 0;
        for (const Shown& s : shown) n += s.kind == kind ? 1 : 0;
        return n;
    }
    QStringList Texts(Shown::Kind kind) const {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind) out << s.text;
        return out;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::deque<QString> files;
    bool defaultAnswer = true;

private:
    QString NextFile(const QString& preset) {
        if (files.empty()) return preset;
        const QString f = files.front();
        files.pop_front();
        return f;
    }
};

// Records the player's commands in order ("Open path", "prev", "play", "close").
class FakeSoundPlayer : public SoundPlayer {
public:
    void Open(const QString& path) override { commands << QStringLiteral("Open ") + path; }
    void Prev() override { commands << QStringLiteral("prev"); }
    void Play() override { commands << QStringLiteral("play"); }
    void Close() override { commands << QStringLiteral("close"); }

    int Plays() const { return static_cast<int>(commands.count(QStringLiteral("play"))); }

    QStringList commands;
};

// A clipboard held in memory.
class FakeClipboard : public Clipboard {
public:
    void Clear() override {
        hasText = false;
        text.clear();
        ++clears;
    }
    void SetText(const QString& t) override {
        text = t;
        hasText = true;
    }
    bool HasText() const override { return hasText; }
    QString Text() const override { return text; }

    QString text;
    bool hasText = false;
    int clears = 0;
};
