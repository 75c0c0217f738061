#pragma once

#include <QString>

// The modal boxes the window shows. Every box carries the application title
// "Kalvor" and no icon. Tests answer them through a fake, so a handler that
// asks a question runs without blocking.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A question with the buttons Yes and No; true for Yes.
    virtual bool Ask(const QString& text) = 0;
    // A notice with an OK button only.
    virtual void Notify(const QString& text) = 0;

    // The file dialog. filter is one entry such as "CSVファイル (*.csv)".
    // Returns the dialog's file name after it closes: the chosen file, or the
    // preset name when the operator cancelled, as the common file dialog
    // leaves it. The save dialog asks before overwriting an existing file and
    // adds no default extension.
    virtual QString SaveFileName(const QString& filter, const QString& preset) = 0;
    virtual QString OpenFileName(const QString& filter, const QString& preset) = 0;
};
