#pragma once

#include <QString>

// A rectangle of the window's design, in twips (left, top, width, height).
struct DesignRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Everything in which the two deliverables differ, side by side. The window
// reads it at construction; no handler asks which edition it runs in.
struct Edition {
    // The executable's name; the settings file is named after the running
    // executable, so a renamed copy still uses its own name.
    QString executableName;
    // Shown in the title after " ver": major.minor.revision.
    QString version;

    // The coordinate-point mode "座標点" with its origin box and the two axis
    // inversion boxes (and their settings keys).
    bool coordinateMode = true;
    // The paste command and its text buffer.
    bool paste = true;
    // The autosave file, the run marker and the recovery at start-up.
    bool autosave = true;
    // The two-point guidance ends with a note naming the axis setting.
    bool twoPointNote = true;

    // The three controls whose size differs.
    DesignRect frame3;
    DesignRect lblMesHelp;
    DesignRect lblHelp;

    int MeasurementCount() const { return coordinateMode ? 6 : 5; }
};

Edition FullEdition();
Edition ReducedEdition();
