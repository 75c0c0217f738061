#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <random>

#include "CrashTally.h"
#include "SaveTable.h"

// One round of the crash loop: the program copied into a fresh directory,
// started with a long replay of figures, killed, started again, killed
// again, a few times over, and at last started once more to see that its
// recovery brought back everything the last complete autosave held.
//
// Every start after a kill is a recovery, and is checked the moment start-up
// has finished: "Save.csv" rewritten from the reloaded grid with every value
// of the autosave before the kill in its cell, whole, the run marker there,
// and no temporary file of a killed write left. A kill that lands before
// start-up has finished (during the recovery itself) is checked at the next
// start, and the file it left must still hold every value.
class CrashRound {
public:
    // `kills` is how many kills this round makes at most; the plan is drawn
    // from `random`, so that one seed gives the same rounds again.
    CrashRound(QString kalvor, QString directory, int number, int kills, std::mt19937_64& random,
               CrashTally& tally);

    // Prints a line for every run: its plan and where the kill landed.
    void SetVerbose(bool verbose) { verbose_ = verbose; }

    // Runs the round; false when it could not be set up at all (the reason
    // is among the tally's faults then).
    bool Run();

private:
    struct Settings {
        bool down = false;
        int rows = 20;
        int cols = 15;
        int decimals = 2;
    };
    enum class Aim { Time, Write, Marker, SettingsWrite };
    struct Life {
        Settings settings;
        bool writeSettings = false;
        Aim aim = Aim::Time;
        int delayMs = 0;     // Time: after the start; the others: the latest moment
        int nth = 1;         // Write: the nth autosave write of this run
        int leadMs = 0;      // the replay's wait before its first line
        bool plant = false;  // leftovers of a killed write before the start
    };

    void Plan();
    bool Prepare();
    QByteArray Replay(int leadMs);
    bool RunLife(int index);
    bool FinalCheck();
    void Plant();
    // Marks the current stage in the run log.
    void Log();
    void WriteSettings(const Settings& settings);
    void CheckRecovery(const Settings& settings, unsigned long inodeBefore,
                       const QStringList& leftBefore, bool planted);
    void CheckSettings(const Settings& settings);
    // Every measured value of the autosave on disk finds its figure in the
    // figures file beside it, and that file is whole.
    void CheckFigures(const SaveTable& table, const char* when);
    void Fault(int& counter, int count, const QString& what);
    QString Path(const QString& name) const;
    QStringList Leftovers() const;
    QStringList Environment(const QString& pad) const;

    QString kalvor_;
    QString directory_;
    QString data_, runtime_, side_;
    int number_;
    int kills_;
    std::mt19937_64& random_;
    CrashTally& tally_;

    QList<Life> lives_;
    Settings final_;
    bool finalWritesSettings_ = false;
    QStringList texts_;    // typed texts the seeded autosave holds
    QByteArray seed_;      // an autosave left by an earlier crash, or empty
    SaveTable seedTable_;  // its values: typed or pasted, they have no figure
    SaveTable reference_;  // the last complete autosave seen
    QString stage_;        // the life being run, for the faults' lines
    QString log_;
    bool verbose_ = false;
};
