#pragma once

#include <QByteArray>
#include <functional>

// Which of Qt's window-system platforms Kalvor runs on where the operator
// has not chosen one. Under Wayland a program cannot place its own windows:
// the compositor put the pad over the main window's controls, and no
// remembered place could apply. Where a Wayland session also offers X
// (XWayland, DISPLAY set), the program runs on "xcb" instead, and its
// windows open where it puts them, as under X.
//
// `env` reads an environment variable (empty when unset); `argv` are the
// program's arguments. Returns the platform to use, or empty to leave Qt's
// own choice: the operator chose (QT_QPA_PLATFORM, or "-platform" among the
// arguments), the session is not Wayland, or there is no X to use.
QByteArray ChosenQtPlatform(const std::function<QByteArray(const char*)>& env, int argc,
                            char** argv);

// Applies ChosenQtPlatform to this process's environment; must run before
// the application object is made. Does nothing on Windows and macOS.
void ChooseQtPlatform(int argc, char** argv);
