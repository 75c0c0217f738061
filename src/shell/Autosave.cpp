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
        const FileWriteResult figures = WriteFigureFile(grid, FiguresPath(), FiguresOnDiskReplaced(grid));
        if (figures) {
            writtenTags_ = grid.TagChanges();
        } else {
            figuresFailed = figures.reason;
        }
    }
    const FileWriteResult saved = WriteCsv(grid, Path());
    if (saved && (!onDiskKnown_ || onDiskTags_ != grid.TagChanges())) {
        onDisk_ = grid.Tags();
        onDiskTags_ = grid.TagChanges();
        onDiskKnown_ = true;
    }
    SetProblem(!saved ? saved.reason : figuresFailed);
}

std::vector<KeptFigureAt> Autosave::FiguresOnDiskReplaced(const GridModel& grid) const {
    std::vector<KeptFigureAt> earlier;
    if (!onDiskKnown_) {
        // The last run's autosave is still in place until this run's first
        // is: its figures stay until then.
        for (KeptFigureAt& at : ReadFigureFile(FiguresPath()).figures) earlier.push_back(std::move(at));
        return earlier;
    }
    for (const auto& [key, tag] : onDisk_) {
        const auto now = grid.Tags().find(key);
        if (now != grid.Tags().end() && now->second == tag) continue;
        if (const auto* figure = dynamic_cast<const KeptFigure*>(tag.get()))
            earlier.push_back({GridModel::KeyRow(key), GridModel::KeyCol(key),
                               std::shared_ptr<const KeptFigure>(tag, figure)});
    }
    return earlier;
}

int Autosave::RestoreFigures(GridModel& grid, int decimals) {
    if (!on_) return 0;
    const FigureFileContent content = ReadFigureFile(FiguresPath());
    if (!content.problems.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(QDir::toNativeSeparators(FiguresPath())),
                     qPrintable(content.problems.join(QStringLiteral("; "))));
    const int restored = ::RestoreFigures(content, grid, decimals);
    // The autosave on disk holds the values just read back in the form they
    // were saved in: the figures as read go with them until the grid's, in
    // the current form, are in place.
    onDisk_.clear();
    for (const KeptFigureAt& at : content.figures) onDisk_[GridModel::CellKey(at.row, at.col)] = at.figure;
    onDiskTags_ = grid.TagChanges();
    onDiskKnown_ = true;
    return restored;
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
