#include "shell/Autosave.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <utility>

#include "exchange/CsvFile.h"
#include "files/AtomicFile.h"
#include "files/RegularFile.h"
#include "shell/AppFiles.h"

Autosave::Autosave(const QString& dataDirectory, bool on, std::function<void()> problemChanged)
    : directory_(dataDirectory), on_(on), problemChanged_(std::move(problemChanged)) {}

QString Autosave::Path() const { return AppFilePath(directory_, QStringLiteral("Save.csv")); }

QString Autosave::RunMarkerPath() const {
    return AppFilePath(directory_, QStringLiteral("err.dat"));
}

void Autosave::Write(const GridModel& grid) {
    if (!on_ || held_) return;
    const FileWriteResult saved = WriteCsv(grid, Path());
    SetProblem(saved ? QString() : saved.reason);
}

bool Autosave::PreviousRunBroke() const { return on_ && RunMarkerPresent(RunMarkerPath()); }

std::optional<QString> Autosave::ReadBack(const QString& path) {
    QString refusal;
    std::optional<QString> text = ReadTextTableFile(path, &refusal);
    if (!refusal.isEmpty()) SetProblem(refusal);
    return text;
}

QString Autosave::BeginRun() {
    if (!on_) return {};
    // A marker that cannot be created only costs the recovery of this run;
    // one that is not ours stays as it stands, and the operator must know
    // that a crash will not be recovered.
    QString why;
    QString notice;
    if (!CreateRunMarker(RunMarkerPath(), &why) && KindAt(RunMarkerPath()) != FileKind::Missing) {
        notice = QStringLiteral("「%1」：%2。異常終了したときに値を戻せません。")
                     .arg(QDir::toNativeSeparators(RunMarkerPath()), why);
    }
    // What a write killed half-way left behind, now that the recovery has
    // read what it needs.
    RemoveWriteLeftovers(Path());
    return notice;
}

void Autosave::EndRun() {
    // Already gone or not deletable: nothing more to do about it.
    if (on_) QFile::remove(RunMarkerPath());
}

void Autosave::SetProblem(const QString& why) {
    const QString problem = why.isEmpty() ? QString()
                                          : QStringLiteral("   ※自動保存できません（%1：%2）")
                                                .arg(QDir::toNativeSeparators(Path()), why);
    if (problem == problem_) return;
    if (!problem.isEmpty() && problem_.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(problem.trimmed()));
    problem_ = problem;
    if (problemChanged_) problemChanged_();
}
