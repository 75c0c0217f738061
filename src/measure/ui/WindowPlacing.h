#pragma once

#include <QStringView>

// Whether the program's own windows open where it puts them. Under Wayland
// they do not: the compositor places every window, and a side window placed
// by it covered the main window's controls. Nor under an X window manager
// known to ignore where a program asks for its windows: weston's, which
// places Xwayland's windows itself and does not tell the program where it
// put them. Where they do not, the side windows are shown inside the main
// window instead (FigureWindow::SetDocked).
//
// `platform`: Qt's platform name ("xcb", "wayland", "windows", ...);
// `windowManager`: the X window manager's name (_NET_WM_NAME of its
// _NET_SUPPORTING_WM_CHECK window), empty where unknown or not X.
bool ProgramPlacesWindows(QStringView platform, QStringView windowManager);

// The same for this process, once the application object exists.
bool ProgramPlacesWindows();
