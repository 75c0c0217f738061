#include "shell/Autosave.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <utility>

#include "exchange/CsvFile.h"
#include "figures/FigureFile.h"
#include "files/AtomicFile.h"
#include "files/RegularFile.h"
#include "grid/GridModel.h"
#include "shell/AppFiles.h"

Autosave::Autosave(const QString& dataDirectory, bool on, std::function<void()> problemChanged)
    : directory_(dataDirectory), on_(on), problemChanged_(std::move(problemChanged)) {}

QString Autosave::Path() const { return AppFilePath(directory_, QStringLiteral("Save.csv")); }

QString Autosave::RunMarkerPath() const {
    return AppFilePath(directory_, QStringLiteral("err.dat"));
}

QString Autosave::FiguresPath() const {
    return AppFilePath(directory_, QStringLiteral("Save.figures"));
}

void Autosave::Write(const GridModel& grid) {
    if (!on_ || held_) return;
    QString figuresFailed;
    if (writtenTags_ != grid.TagChanges()) {
        const FileWriteResult figures = WriteFigureFile(grid, FiguresPath());
        if (figures) {
            writtenTags_ = grid.TagChanges();
        } else {
            figuresFailed = figures.reason;
        }
    }
    const FileWriteResult saved = WriteCsv(grid, Path());
    SetProblem(!saved ? saved.reason : figuresFailed);
}

int Autosave::RestoreFigures(GridModel& grid) {
    if (!on_) return 0;
    const FigureFileContent content = ReadFigureFile(FiguresPath());
    if (!content.problems.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(QDir::toNativeSeparators(FiguresPath())),
                     qPrintable(content.problems.join(QStringLiteral("; "))));
    return ::RestoreFigures(content, grid);
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
    RemoveWriteLeftovers(FiguresPath());
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
