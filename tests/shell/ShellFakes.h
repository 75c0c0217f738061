#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "exchange/Clipboard.h"
#include "shell/Dialogs.h"
#include "shell/SoundPlayer.h"

// Answers the window's questions from a script and records every box shown.
class FakeDialogs : public Dialogs {
  public:
    struct Shown {
        enum class Kind { Question, Notice, SaveDialog, OpenDialog } kind;
        QString text;    // the message, or the dialog's filter
        QString preset;  // the file dialog's preset name
        QString folder;  // the folder it opens in without a preset
        QString suffix;  // the save dialog's default suffix
        QString proposed;  // the name the save dialog proposes
    };

    // The next questions' answers; with none queued a question is answered
    // with defaultAnswer (Yes, or No). Three-way questions take theirs from
    // the same queue (true Yes, false No) or from `threeWay`.
    void AnswerNext(bool yes) { answers.push_back(yes); }
    void AnswerNextThreeWay(Answer answer) { threeWay.push_back(answer); }
    // What the next file dialogs leave as their file name.
    void ChooseNextFile(const QString& name) { files.push_back(name); }

    bool Ask(const QString& text) override {
        shown.push_back({Shown::Kind::Question, text, {}, {}, {}, {}});
        return NextAnswer();
    }
    Answer AskYesNoCancel(const QString& text) override {
        shown.push_back({Shown::Kind::Question, text, {}, {}, {}, {}});
        if (threeWay.empty()) return NextAnswer() ? Answer::Yes : Answer::No;
        const Answer a = threeWay.front();
        threeWay.pop_front();
        return a;
    }
    void Notify(const QString& text) override {
        shown.push_back({Shown::Kind::Notice, text, {}, {}, {}, {}});
    }
    QString SaveFileName(const QString& filter, const QString& preset, const QString& folder,
                         const QString& suffix, const QString& proposed) override {
        shown.push_back({Shown::Kind::SaveDialog, filter, preset, folder, suffix, proposed});
        return NextFile(preset);
    }
    QString OpenFileName(const QString& filter, const QString& preset,
                         const QString& folder) override {
        shown.push_back({Shown::Kind::OpenDialog, filter, preset, folder, {}, {}});
        return NextFile(preset);
    }

    std::optional<DrawingScale> ChooseScale(const DrawingScale& preset) override {
        scalePresets.push_back(preset);
        if (scales.empty()) return std::nullopt;
        const std::optional<DrawingScale> next = scales.front();
        scales.pop_front();
        return next;
    }

    std::optional<FigureExportChoice> ChooseFigureExport(const FigureExportChoice& preset,
                                                         int allFigures,
                                                         int selectedFigures) override {
        exportOffers.push_back({preset, allFigures, selectedFigures});
        if (exportChoices.empty()) return std::nullopt;
        const std::optional<FigureExportChoice> next = exportChoices.front();
        exportChoices.pop_front();
        return next;
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
    std::deque<Answer> threeWay;
    std::deque<QString> files;
    // What the next boxes "縮尺から設定" confirm (none: cancelled), and what
    // each was filled in with.
    std::deque<std::optional<DrawingScale>> scales;
    std::vector<DrawingScale> scalePresets;
    // What the next boxes "図形の書き出し" choose (none: cancelled), and what
    // each offered: its preset, all figures, the selected cells' figures.
    struct ExportOffer {
        FigureExportChoice preset;
        int all = 0;
        int selected = 0;
    };
    std::deque<std::optional<FigureExportChoice>> exportChoices;
    std::vector<ExportOffer> exportOffers;
    bool defaultAnswer = true;

  private:
    bool NextAnswer() {
        if (answers.empty()) return defaultAnswer;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
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
