#pragma once

#include "shell/Edition.h"

// The composition root shared by both executables: builds the window with
// the tablet library, the sound player, the dialogs and the clipboard, runs
// the start-up, shows the window and runs the message loop.
int RunKalvor(int argc, char** argv, const Edition& edition);
