// The crash loop: the real program killed with SIGKILL at random moments,
// in start-up, in the middle of its recovery, while it writes and between
// values, started again and checked each time, in rounds of a fresh
// directory each. Prints "N kills, L lost, T torn, X leftovers" and fails
// when any of the three is not zero or a run went wrong otherwise.
//
//   crash_loop [--kalvor PATH] [--kills N] [--seed S] [--work DIR] [--keep] [--verbose]
//
// The seed is printed first; giving it again replays the same rounds (the
// same settings, replays and kill plans; the moments themselves move with
// the machine's load).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

#include "CrashRound.h"
#include "CrashTally.h"

namespace {

void Print(const QString& line) {
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kills Kalvor at random moments and checks its recovery."));
    parser.addHelpOption();
    const QCommandLineOption kalvor(QStringLiteral("kalvor"),
                                    QStringLiteral("The full edition (the one built beside)."),
                                    QStringLiteral("path"), QStringLiteral(KALVOR_EXE));
    const QCommandLineOption kills(QStringLiteral("kills"), QStringLiteral("How many kills (100)."),
                                   QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Replays a run."),
                                  QStringLiteral("s"));
    const QCommandLineOption work(QStringLiteral("work"),
                                  QStringLiteral("Where the rounds' directories go."),
                                  QStringLiteral("dir"));
    const QCommandLineOption keep(QStringLiteral("keep"),
                                  QStringLiteral("Keeps every round's directory."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("A line for every run of the program."));
    parser.addOptions({kalvor, kills, seed, work, keep, verbose});
    parser.process(app);

    const QString exe = QFileInfo(parser.value(kalvor)).absoluteFilePath();
    bool ok = false;
    const int wanted = parser.value(kills).toInt(&ok);
    if (!QFileInfo(exe).isExecutable() || !ok || wanted < 1) {
        Print(QStringLiteral("crash_loop: needs the built Kalvor (--kalvor) and --kills N >= 1"));
        return 2;
    }
    const quint64 seedValue = parser.isSet(seed)
                                  ? parser.value(seed).toULongLong()
                                  : std::random_device{}() * 1000003ULL + std::random_device{}();
    std::mt19937_64 random(seedValue);
    Print(QStringLiteral("crash loop: %1 kills, seed %2").arg(wanted).arg(seedValue));

    QTemporaryDir scratch(
        parser.isSet(work) ? QDir(parser.value(work)).filePath(QStringLiteral("crash-loop-XXXXXX"))
                           : QDir::temp().filePath(QStringLiteral("kalvor-crash-loop-XXXXXX")));
    if (!scratch.isValid()) {
        Print(QStringLiteral("crash_loop: cannot create a scratch directory"));
        return 2;
    }

    CrashTally tally;
    QElapsedTimer clock;
    clock.start();
    for (int round = 1; tally.kills < wanted; ++round) {
        const int killsBefore = tally.kills;
        const qsizetype faultsBefore = tally.faults.size();
        const QString directory = scratch.filePath(QStringLiteral("round-%1").arg(round));
        CrashRound crash(exe, directory, round, wanted - tally.kills, random, tally);
        crash.SetVerbose(parser.isSet(verbose));
        crash.Run();
        for (qsizetype i = faultsBefore; i < tally.faults.size(); ++i) Print(tally.faults[i]);
        // A faulty round's directory stays for a look; the others go.
        if (tally.faults.size() == faultsBefore && !parser.isSet(keep))
            QDir(directory).removeRecursively();
        // A program that cannot even be started would loop for ever.
        if (tally.kills == killsBefore) break;
    }
    if (!tally.Clean() || parser.isSet(keep)) {
        scratch.setAutoRemove(false);
        Print(QStringLiteral("rounds kept in %1").arg(scratch.path()));
    }

    Print(
        QStringLiteral("kills: %1 in start-up (%2 of them recovering a grid, %3 in the recovery's "
                       "write), %4 before the first value, %5 between values; %6 aimed at a file "
                       "getting its name, %7 left a temporary file")
            .arg(tally.inStartUp)
            .arg(tally.inRecovery)
            .arg(tally.inRecoveryWrite)
            .arg(tally.beforeFirstValue)
            .arg(tally.betweenValues)
            .arg(tally.aimedHits)
            .arg(tally.leftTemporary));
    Print(QStringLiteral("recoveries checked: %1 (%2 filling down, %3 into a grid smaller than the "
                         "table, %4 with leftovers planted)")
              .arg(tally.recoveries)
              .arg(tally.filledDown)
              .arg(tally.grown)
              .arg(tally.planted));
    Print(QStringLiteral("figures checked with their values: %1").arg(tally.figuresChecked));
    if (tally.failures > 0) Print(QStringLiteral("%1 other failures").arg(tally.failures));
    Print(QStringLiteral("seed %1, %2 s").arg(seedValue).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    Print(QStringLiteral("%1 kills, %2 lost, %3 torn, %4 leftovers")
              .arg(tally.kills)
              .arg(tally.lost)
              .arg(tally.torn)
              .arg(tally.leftovers));
    return tally.Clean() && tally.kills == wanted ? 0 : 1;
}
