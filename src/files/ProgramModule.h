#pragma once

#include <QFunctionPointer>
#include <QString>

// A library installed with the program and loaded the first time it is
// needed, so that what it pulls in (poppler, the multimedia backend) costs
// nothing at a start that never uses it.
struct ProgramModule {
    // The library's file name ("kalvor-pdf.so").
    QString fileName;
    // Its folder, relative to the executable's, once installed.
    QString fromExecutable;
    // Where the build put it, and the build tree: a program run from inside
    // that tree (and only such a program) loads the module from there.
    QString built;
    QString buildTree;

    // The module's function `entry`, from the first of its places that holds
    // it; null with `why` saying what went wrong. A loaded module stays
    // loaded to the end, as what it made may live that long.
    QFunctionPointer Resolve(const char* entry, QString& why) const;
    // The path of the first of its places that holds it (for a helper
    // program installed the same way); empty with `why` saying so.
    QString Locate(QString& why) const;
};

// The places a module is looked for, filled in by the build (see
// kalvor_program_module in CMake).
#define KALVOR_PROGRAM_MODULE(prefix)                                           \
    ProgramModule {                                                             \
        QStringLiteral(prefix##_FILE), QStringLiteral(prefix##_FROM_BIN),       \
            QStringLiteral(prefix##_BUILT), QStringLiteral(prefix##_BUILD_TREE) \
    }
