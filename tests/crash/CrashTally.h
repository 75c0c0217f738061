#pragma once

#include <QString>
#include <QStringList>

// What the crash loop counted over all its rounds.
struct CrashTally {
    int kills = 0;
    // Values of the last complete autosave before a kill that the recovered
    // grid did not hold at the same line and field.
    int lost = 0;
    // Autosave or settings files found torn, or empty where values stood.
    int torn = 0;
    // Temporary files of killed writes still there after a recovery.
    int leftovers = 0;
    // Anything else that stops the loop from vouching for the program: a
    // run that ended on its own, a start-up that never finished, a run
    // marker missing after start-up.
    int failures = 0;

    // Where the kills landed.
    int inStartUp = 0;
    int inRecovery = 0;       // of inStartUp: with a grid to bring back
    int inRecoveryWrite = 0;  // of inRecovery: as the reloaded grid replaced the autosave
    int beforeFirstValue = 0;
    int betweenValues = 0;
    int aimedHits = 0;      // of all: at the moment a file of the program got its name
    int leftTemporary = 0;  // of all: a write's temporary file was left behind
    int recoveries = 0;     // start-ups that finished and were checked
    int grown = 0;          // of those: the table was larger than the grid set
    int filledDown = 0;     // of those: filling down, the others across
    int planted = 0;        // of those: with leftovers of a killed write planted
    // Measured values of an autosave whose figure was looked for in the
    // figures file beside it (after every kill and every recovery).
    int figuresChecked = 0;

    // One line per fault found, with the round and the life it came from.
    QStringList faults;

    bool Clean() const { return lost == 0 && torn == 0 && leftovers == 0 && failures == 0; }
};
