#pragma once

#include <QString>
#include <optional>

#include "measure/DrawingScale.h"
#include "shell/FigureExportChoice.h"

// The modal boxes the window shows. Every box carries the application title
// "Kalvor" and no icon. Tests answer them through a fake, so a handler that
// asks a question runs without blocking.
class Dialogs {
  public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // A question with the buttons Yes and No; true for Yes.
    virtual bool Ask(const QString& text) = 0;
    // A question with Yes, No and Cancel (closing the box is Cancel).
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    // A notice with an OK button only.
    virtual void Notify(const QString& text) = 0;

    // The file dialog. filter is one entry such as "CSVファイル (*.csv)". It
    // opens on `preset` when one is given, else in `startFolder` with
    // `proposedName` (save only; may be empty) in its name box, which a
    // cancelled dialog does not return. Returns the
    // dialog's file name after it closes: the chosen file, or the preset
    // name when the operator cancelled, as the common file dialog leaves it.
    // The save dialog asks before overwriting an existing file and adds
    // `defaultSuffix` to a name typed without one, as the platform's own
    // dialog does.
    virtual QString SaveFileName(const QString& filter, const QString& preset,
                                 const QString& startFolder, const QString& defaultSuffix,
                                 const QString& proposedName) = 0;
    virtual QString OpenFileName(const QString& filter, const QString& preset,
                                 const QString& startFolder) = 0;

    // The box "縮尺から設定", filled in from `preset`: the scale the operator
    // confirmed, or none when the box was cancelled (as a box that cannot be
    // shown is).
    virtual std::optional<DrawingScale> ChooseScale(const DrawingScale& /*preset*/) {
        return std::nullopt;
    }

    // The box "図形の書き出し", filled in from `preset`: the format and
    // whether all figures or only the selected cells' (offered only when
    // `selectedFigures` is above 0, with that count). None when cancelled.
    virtual std::optional<FigureExportChoice> ChooseFigureExport(
        const FigureExportChoice& /*preset*/, int /*allFigures*/, int /*selectedFigures*/) {
        return std::nullopt;
    }
};
