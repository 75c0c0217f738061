#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "shell/Edition.h"
#include "FakePadLink.h"
#include "FileBytes.h"
#include "grid/GridModel.h"
#include "ShellFakes.h"
#include "shell/frmTab.h"

// A main window over fakes, with its data directory in a fresh temporary
// directory: the settings file, "Save.csv" and "err.dat" land there.
class WindowFixture {
  public:
    explicit WindowFixture(const Edition& edition = FullEdition()) : edition_(edition) {
        services.tablet = &tablet;
        services.sound = &sound;
        services.dialogs = &dialogs;
        services.clipboard = &clipboard;
        services.dataDirectory = dir.path();
        services.executableDirectory = dir.path();
        services.executableBaseName = edition.executableName;
    }

    // Builds the window and runs its start-up; shows it when asked.
    frmTab& Start(bool show = true) {
        window = std::make_unique<frmTab>(edition_, services);
        loaded = window->Form_Load();
        if (loaded && show) {
            window->show();
            QApplication::processEvents();
        }
        return *window;
    }

    // Runs the normal shut-down (as after a confirmed exit) and drops the window.
    void Stop() {
        if (window) {
            window->Form_Unload();
            window.reset();
        }
    }

    // Drops the window without any shut-down, as a killed process would.
    void Kill() {
        if (window) {
            window->hide();
            window.release()->deleteLater();
            QApplication::processEvents();
        }
    }

    QString Path(const QString& name) const { return dir.filePath(name); }
    QByteArray Autosave() const { return ReadBytes(Path(QStringLiteral("Save.csv"))); }

    // The library posts its notification; the message loop delivers it.
    void Deliver() {
        tablet.Notify();
        QApplication::processEvents();
    }

    // Types a text into one of the window's boxes and presses Enter, as the
    // operator enters a new grid size.
    void Enter(const QString& box, const QString& text) {
        auto* edit = Find<QLineEdit>(box);
        ASSERT_NE(edit, nullptr) << box.toStdString();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    template <typename T>
    T* Find(const QString& name) const {
        return window->findChild<T*>(name);
    }

    QTemporaryDir dir;
    FakePadLink tablet;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    frmTabServices services;
    std::unique_ptr<frmTab> window;
    bool loaded = false;

  private:
    Edition edition_;
};
