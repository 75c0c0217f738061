// The speed table: each figure of the program beside a floor measured in the
// same run (the least the same work can cost on this machine) and their
// ratio. Medians; prints, asserts nothing.
//
// Also its own helper for the figures that need a fresh process:
//   table_bench --recover FILE   recovery of FILE in a new window
//   table_bench --parse FILE     the floor: FILE read, split into cells, written again
//   table_bench --split FILE     the same without the write

#include "CommitGate.h"
#include "files/AtomicFile.h"
#include "BenchFakes.h"
#include "BenchTable.h"
#include "shell/Edition.h"
#include "FakePadLink.h"
#include "figures/FigureFile.h"
#include "grid/GridModel.h"
#include "shell/Autosave.h"
#include "measure/MeasureEngine.h"
#include "TrivialHost.h"
#include "shell/frmTab.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The main window over fakes, loaded and shown.
struct Window : BenchWindow {
    Window() { Open(); }
    void Open() {
        window->Form_Load();
        window->show();
        QApplication::processEvents();
    }
    // The window on the screen, painted, its deferred layouts done: a start's
    // work, not that of what is timed next.
    void Settle() {
        const auto start = Clock::now();
        while (MsSince(start) < 200) QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

void Fill(GridModel& grid, int rows, int cols) {
    grid.SetRows(rows + 1);
    grid.SetCols(cols + 1);
    const QString text = QStringLiteral("123.45");
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) grid.SetTextMatrix(r, c, text);
}

// The least a whole-file replace can cost once its bytes are built: written,
// synced and renamed over the target.
void ReplaceSynced(const QString& path, const QByteArray& bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size()) ::fsync(fd);
    ::close(fd);
    ::rename(temporary.constData(), target.constData());
}

// The least a whole-file replace can cost: the table's bytes built in one
// pass, written, synced and renamed over the target.
void WriteFloor(const GridModel& grid, const QString& path) {
    // The cells here are ASCII: each character is its byte, written
    // straight into a buffer sized for the whole table.
    QByteArray bytes(grid.UsedRows() * (grid.UsedCols() * 8 + 2), Qt::Uninitialized);
    char* to = bytes.data();
    for (int r = 1; r <= grid.UsedRows(); ++r) {
        const std::vector<QString>& cells = grid.RowCells(r);
        for (int c = 1; c <= grid.UsedCols(); ++c) {
            if (c > 1) *to++ = ',';
            if (static_cast<std::size_t>(c) < cells.size())
                for (const QChar ch : cells[static_cast<std::size_t>(c)]) *to++ = static_cast<char>(ch.unicode());
        }
        *to++ = '\r';
        *to++ = '\n';
    }
    bytes.truncate(to - bytes.constData());
    ReplaceSynced(path, bytes);
}

void SyncedWrite(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    if (::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size()) ::fsync(fd);
    ::close(fd);
}

void AutosaveRows(std::vector<Row>& rows) {
    for (const int filledRows : {1000, 10000}) {
        Window w;
        Fill(w.window->Grid(), filledRows, 100);
        w.window->Grid().SetRow(1);
        w.window->Grid().SetCol(1);
        const double ours = MedianMs(7, [&] { w.window->PutValue(12.5, false); });
        const QString floorPath = w.dir.filePath(QStringLiteral("floor.csv"));
        const double floor = MedianMs(7, [&] { WriteFloor(w.window->Grid(), floorPath); });
        rows.push_back({"Autosave after one value, " + QString::number(filledRows).toStdString() +
                            " x 100 cells filled (floor: build, write, sync, rename)",
                        ours, floor, "ms", kWithinHalfAgain});
    }
}

// Runs this program again with the arguments; its one output line.
QList<double> Helper(const QStringList& arguments) {
    QProcess helper;
    helper.start(QCoreApplication::applicationFilePath(), arguments);
    helper.waitForFinished(300000);
    QList<double> figures;
    for (const QByteArray& part : helper.readAllStandardOutput().trimmed().split(' ')) figures.append(part.toDouble());
    return figures;
}

void RecoveryRows(std::vector<Row>& rows) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Save.csv"));
    {
        QByteArray line;
        for (int c = 0; c < 100; ++c) line += c == 0 ? "123.45" : ",123.45";
        line += "\r\n";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
        for (int r = 0; r < 10000; ++r) file.write(line);
    }
    std::vector<double> oursMs, oursMb, floorMs, floorMb, splitMs;
    for (int run = 0; run < 3; ++run) {
        const QList<double> ours = Helper({QStringLiteral("--recover"), path});
        const QList<double> floor = Helper({QStringLiteral("--parse"), path});
        const QList<double> split = Helper({QStringLiteral("--split"), path});
        if (ours.size() < 2 || floor.size() < 2 || split.size() < 2) return;
        oursMs.push_back(ours[0]);
        oursMb.push_back(ours[1]);
        floorMs.push_back(floor[0]);
        floorMb.push_back(floor[1]);
        splitMs.push_back(split[0]);
    }
    // A recovery must write the autosave again once the grid is whole, so
    // the floor does the same write; beside it, the floor without it.
    rows.push_back({"Recovery of a 10,000 x 100 autosave, time (floor: read, split, write)", Median(oursMs),
                    Median(floorMs), "ms", kWithinHalfAgain});
    rows.push_back({"Recovery of a 10,000 x 100 autosave, time (floor: read and split only)", Median(oursMs),
                    Median(splitMs), "ms"});
    rows.push_back({"Recovery of a 10,000 x 100 autosave, peak memory added", Median(oursMb), Median(floorMb), "MB",
                    kWithinHalfAgain});
}

int Recover(const QString& path) {
    Window w;
    const double before = PeakMb();
    const auto start = Clock::now();
    w.window->LoadAutosave(path);
    const double ms = MsSince(start);
    std::printf("%f %f\n", ms, PeakMb() - before);
    std::fflush(stdout);
    std::_Exit(0);
}

// The floor of a recovery: the file read, decoded and split into one text a
// cell, then (with write) written again as the recovery writes the autosave
// once the grid is whole: built in one pass, written, synced and renamed, in
// a directory of its own as the window's is.
int Parse(const QString& path, bool write) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Save.csv"));
    const double before = PeakMb();
    const auto start = Clock::now();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringConverter::System);
    const QString text = decoder.decode(bytes);
    std::vector<QString> cells;
    std::vector<qsizetype> lineEnds;
    for (const QStringView line : QStringView(text).split(u"\r\n", Qt::SkipEmptyParts)) {
        for (const QStringView field : line.split(u',')) cells.push_back(field.toString());
        lineEnds.push_back(static_cast<qsizetype>(cells.size()));
    }
    if (!write) {
        std::printf("%f %f\n", MsSince(start), PeakMb() - before);
        return cells.empty() ? 1 : 0;
    }
    qsizetype size = 0;
    for (const QString& cell : cells) size += cell.size() + 1;
    QByteArray table(size + static_cast<qsizetype>(lineEnds.size()), Qt::Uninitialized);
    char* to = table.data();
    std::size_t cell = 0;
    for (const qsizetype lineEnd : lineEnds) {
        for (; cell < static_cast<std::size_t>(lineEnd); ++cell) {
            // ASCII here: each character is its byte.
            for (const QChar ch : cells[cell]) *to++ = static_cast<char>(ch.unicode());
            *to++ = cell + 1 < static_cast<std::size_t>(lineEnd) ? ',' : '\r';
        }
        *to++ = '\n';
    }
    table.truncate(to - table.constData());
    ReplaceSynced(target, table);
    const double ms = MsSince(start);
    std::printf("%f %f\n", ms, PeakMb() - before);
    return cells.empty() ? 1 : 0;
}

// From the process's start to its first window shown: the program's probe
// against a minimal Qt Widgets program, on the given platform.
double StartMs(const QString& program, const QString& platform, const QStringList& arguments = {}) {
    std::vector<double> times;
    for (int run = 0; run < 11; ++run) {
        QTemporaryDir data;
        QTemporaryDir runtime;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        environment.insert(QStringLiteral("KALVOR_DATA_DIR"), data.path());
        environment.insert(QStringLiteral("KALVOR_PAD"), QStringLiteral("none"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        process.setProcessEnvironment(environment);
        const auto start = Clock::now();
        process.start(QCoreApplication::applicationDirPath() + u'/' + program, arguments);
        if (!process.waitForReadyRead(30000)) return 0;
        times.push_back(MsSince(start));
        process.waitForFinished(10000);
    }
    return Median(times);
}

void StartRows(std::vector<Row>& rows) {
    const QString probe = QStringLiteral("start_probe");
    const QString floor = QStringLiteral("start_floor");
    const QStringList empty = {QStringLiteral("--empty")};
    for (const QString& platform : {QStringLiteral("offscreen"), QStringLiteral("xcb")}) {
        if (platform == QLatin1String("xcb") && qEnvironmentVariableIsEmpty("DISPLAY")) break;
        const std::string where = platform == QLatin1String("xcb") ? "X server" : "offscreen";
        const double ours = StartMs(probe, platform);
        rows.push_back({"Cold start to the window shown, " + where + " (floor: one window, one line of text)", ours,
                        StartMs(floor, platform), "ms", kWithinHalfAgain});
        rows.push_back({"Cold start to the window shown, " + where + " (floor: one empty window)", ours,
                        StartMs(floor, platform, empty), "ms"});
    }
}

void SettingsRows(std::vector<Row>& rows) {
    int writes = 0;
    SetBeforeCommitHookForTest([&writes](const QString& path) {
        if (path.endsWith(QLatin1String(".INI"), Qt::CaseInsensitive)) ++writes;
        return true;
    });
    {
        BenchWindow w;
        w.window->Form_Load();
        rows.push_back({"First start (no settings file): writes of the settings file", double(writes), 1, "  ",
                        kNoMore});
        writes = 0;
        w.window->Form_Unload();
        rows.push_back({"Normal exit: writes of the settings file", double(writes), 1, "  ", kNoMore});
    }
    SetBeforeCommitHookForTest({});
}

// Four traced areas of 100,000 points each, through the window as the
// message loop runs them (each notification to the window's handler, then
// one pass of the loop) and through the engine alone, with and without the
// same passes of the loop (which any program fed by tablet messages pays,
// about as much as the engine itself here): the median CPU time of the four (the first alone swings with what earlier rows left in the
// allocator), and the memory the four leave behind.
void TraceRows(std::vector<Row>& rows) {
    constexpr int kPoints = 100000;
    constexpr int kBatch = 100;
    constexpr int kTraces = 4;
    auto trace = [](FakePadLink& pad, MeasureEngine& engine, const std::function<void()>& notify) {
        engine.lMesMode = kMesTraced;
        engine.bLengthMode = false;
        for (int i = 0; i < kPoints; ++i) pad.PushPick(i % 800, i / 800 + (i % 7));
        const std::clock_t start = std::clock();
        for (int i = 0; i < kPoints / kBatch; ++i) {
            pad.ScriptWintab(kBatch);
            notify();
        }
        engine.CalcLengthArea();
        return CpuMsSince(start);
    };
    // The engine first: memory the window's run gave back to the allocator
    // would otherwise make the engine's look free.
    FakePadLink pad;
    TrivialHost host;
    MeasureEngine engine(pad, host, {});
    host.store = &engine.points;
    const double before = ResidentMb();
    std::vector<double> floorCpu;
    for (int i = 0; i < kTraces; ++i) floorCpu.push_back(trace(pad, engine, [&] { engine.GetWintab(0, 0); }));
    const double floorMb = ResidentMb() - before;
    std::vector<double> loopCpu;
    for (int i = 0; i < kTraces; ++i) {
        loopCpu.push_back(trace(pad, engine, [&] {
            engine.GetWintab(0, 0);
            QApplication::processEvents();
        }));
    }
    std::vector<double> oursCpu;
    double oursMb = 0;
    {
        Window w;
        w.Settle();
        const double windowBefore = ResidentMb();
        for (int i = 0; i < kTraces; ++i) {
            oursCpu.push_back(trace(w.tablet, w.window->Engine(), [&] {
                w.window->GetWintab(0, 0);
                QApplication::processEvents();
            }));
        }
        oursMb = ResidentMb() - windowBefore;
    }
    rows.push_back({"100,000-point trace through the window, CPU (floor: the engine, the same loop passes)",
                    Median(oursCpu), Median(loopCpu), "ms", kWithinTwice});
    rows.push_back({"100,000-point trace through the window, CPU (floor: the engine alone)", Median(oursCpu),
                    Median(floorCpu), "ms"});
    rows.push_back({"Memory left by four 100,000-point traces (floor: the engine alone)", oursMb, floorMb, "MB"});
}

void PenToGridRow(std::vector<Row>& rows) {
    Window w;
    w.window->Engine().lMesMode = kMesTwoPoint;
    std::vector<double> ours;
    for (int run = 0; run < 51; ++run) {
        w.tablet.PushPick(0, 0);
        w.tablet.PushPick(300, 400);
        w.tablet.ScriptWintab(2);
        const auto start = Clock::now();
        w.window->GetWintab(0, 0);
        ours.push_back(MsSince(start));
    }
    QFile saved(w.window->AutosavePath());
    const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    const QString floorPath = w.dir.filePath(QStringLiteral("floor.csv"));
    const double floor = MedianMs(51, [&] { SyncedWrite(floorPath, bytes); });
    rows.push_back({"Pen to grid: one two-point distance, autosaved (floor: same bytes, synced)", Median(ours), floor,
                    "ms"});
}

void PasteRow(std::vector<Row>& rows) {
    QString block;
    for (int r = 0; r < 1000; ++r) {
        for (int c = 0; c < 100; ++c) {
            block += QString::number(r * 100 + c) + QStringLiteral(".25");
            if (c < 99) block += u'\t';
        }
        block += QStringLiteral("\r\n");
    }
    std::vector<double> ours;
    for (int run = 0; run < 3; ++run) {
        Window w;
        w.window->Grid().SetRows(10001);
        w.window->Grid().SetCols(1001);
        w.clipboard.SetText(block);
        const auto start = Clock::now();
        w.window->cmdPaste_Click();
        ours.push_back(MsSince(start));
    }
    qsizetype fields = 0;
    const double floor = MedianMs(3, [&] {
        fields = 0;
        for (const QStringView line : QStringView(block).split(u"\r\n"))
            for (const QStringView field : line.split(u'\t')) fields += field.isEmpty() ? 0 : 1;
    });
    rows.push_back({"Paste of 1,000 x 100 into 10,000 x 1,000 (floor: split the same text)", Median(ours), floor,
                    "ms"});
}

// A traced room of 100 points, as a kept figure of a value "123.45".
std::shared_ptr<KeptFigure> Room(int i) {
    auto figure = std::make_shared<KeptFigure>();
    figure->mode = FigureMode::TracedArea;
    for (int k = 0; k < 100; ++k)
        figure->points.push_back({i % 100 * 900 + k * 7, i / 100 * 900 + (k * k) % 800});
    figure->referenceLength = QStringLiteral("1");
    figure->tabletLength = QStringLiteral("80");
    figure->unit = QStringLiteral("m²");
    figure->countsPerMm = 80;
    figure->source = FigureSourceKind::Drawing;
    figure->sourceName = QStringLiteral("/home/estimator/図面/1F平面図.pdf");
    figure->page = 1;
    figure->timeMs = 1'796'000'000'000 + i * 1000LL;
    figure->value = QStringLiteral("123.45");
    return figure;
}

// 100 x 100 cells, each with its value and figure: 10,000 figures of 100
// points.
void FillWithFigures(GridModel& grid) {
    Fill(grid, 100, 100);
    for (int r = 1; r <= 100; ++r)
        for (int c = 1; c <= 100; ++c) grid.SetTag(r, c, Room((r - 1) * 100 + c - 1));
}

// The least building the figures file can cost: every line in cell order
// straight into one buffer, numbers by to_chars, the texts that are the same
// on every line built once, the time by the C library.
QByteArray FloorFigureBytes(const GridModel& grid) {
    QByteArray out;
    out.reserve(20'000'000);
    out.append(kFigureFileHeader);
    out.append('\n');
    char number[32];
    const auto append = [&](auto value) {
        const auto [end, ec] = std::to_chars(number, number + sizeof number, value);
        out.append(number, end - number);
    };
    for (int r = 1; r <= grid.UsedRows(); ++r) {
        for (int c = 1; c <= grid.UsedCols(); ++c) {
            const auto* f = dynamic_cast<const KeptFigure*>(grid.Tag(r, c).get());
            if (f == nullptr) continue;
            append(r);
            out.append('\t');
            append(c);
            out.append("\t");
            out.append(f->value.toUtf8());
            out.append("\ttraced-area\t");
            const std::time_t seconds = static_cast<std::time_t>(f->timeMs / 1000);
            std::tm utc{};
            gmtime_r(&seconds, &utc);
            char time[40];
            const int length = std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ",
                                             utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                             utc.tm_min, utc.tm_sec, static_cast<int>(f->timeMs % 1000));
            out.append(time, length);
            out.append('\t');
            out.append(f->referenceLength.toUtf8());
            out.append('\t');
            out.append(f->tabletLength.toUtf8());
            out.append('\t');
            append(f->verticalFactor);
            out.append('\t');
            out.append(f->unit.toUtf8());
            out.append('\t');
            append(f->countsPerMm);
            out.append("\tdrawing\t");
            append(f->page);
            out.append('\t');
            out.append(f->sourceName.toUtf8());
            out.append('\t');
            const qsizetype at = out.size();
            out.resize(at + static_cast<qsizetype>(f->points.size()) * 24);
            char* to = out.data() + at;
            char* const last = out.data() + out.size();
            for (std::size_t k = 0; k < f->points.size(); ++k) {
                if (k > 0) *to++ = ' ';
                to = std::to_chars(to, last, f->points[k].x).ptr;
                *to++ = ',';
                to = std::to_chars(to, last, f->points[k].y).ptr;
            }
            out.truncate(to - out.constData());
            out.append("\t\t+\t0\n");
        }
    }
    return out;
}

void FiguresRows(std::vector<Row>& rows) {
    QTemporaryDir dir;
    GridModel grid(101, 101);
    FillWithFigures(grid);
    if (FloorFigureBytes(grid) != FigureFileBytes(grid))
        std::fprintf(stderr, "table_bench: the figures floor builds other bytes than the program\n");
    Autosave autosave(dir.path(), true, [] {});
    autosave.Write(grid);
    int next = 0;
    // A value measured again into one cell: a figure changed, so both files
    // are written.
    const double ours = MedianMs(7, [&] {
        grid.SetTextMatrix(1, 1, QStringLiteral("123.45"));
        grid.SetTag(1, 1, Room(next++));
        autosave.Write(grid);
    });
    const QString floorCsv = dir.filePath(QStringLiteral("floor.csv"));
    const QString floorFigures = dir.filePath(QStringLiteral("floor.figures"));
    const double floor = MedianMs(7, [&] {
        ReplaceSynced(floorFigures, FloorFigureBytes(grid));
        WriteFloor(grid, floorCsv);
    });
    rows.push_back({"Autosave after one value with 10,000 figures of 100 points (floor: both files' bytes "
                    "built, written, synced, renamed)",
                    ours, floor, "ms", kWithinHalfAgain});

    // The recovery of both files into a fresh window, against reading and
    // splitting them (every point a number) and writing them again.
    std::vector<double> recovered, floors;
    int restored = 0;
    for (int run = 0; run < 3; ++run) {
        Window w;
        QFile::copy(autosave.Path(), w.window->AutosavePath());
        QFile::copy(autosave.FiguresPath(),
                    QFileInfo(w.window->AutosavePath()).dir().filePath(QStringLiteral("Save.figures")));
        const auto start = Clock::now();
        w.window->LoadAutosave(w.window->AutosavePath());
        recovered.push_back(MsSince(start));
        restored = static_cast<int>(w.window->Grid().Tags().size());

        const auto floorStart = Clock::now();
        QFile csv(autosave.Path());
        QFile figures(autosave.FiguresPath());
        if (!csv.open(QIODevice::ReadOnly) || !figures.open(QIODevice::ReadOnly)) return;
        const QString text = QString::fromUtf8(csv.readAll());
        std::vector<QString> cells;
        for (const QStringView line : QStringView(text).split(u"\r\n", Qt::SkipEmptyParts))
            for (const QStringView field : line.split(u',')) cells.push_back(field.toString());
        const QByteArray bytes = figures.readAll();
        std::vector<std::vector<FigurePoint>> points;
        for (qsizetype from = 0, to = 0; from < bytes.size(); from = to + 1) {
            to = bytes.indexOf('\n', from);
            if (to < 0) to = bytes.size();
            const QByteArrayView line(bytes.constData() + from, to - from);
            const qsizetype start13 = [&] {
                qsizetype at = 0;
                for (int tab = 0; tab < 13 && at >= 0; ++tab) at = line.indexOf('\t', at) + 1;
                return at;
            }();
            if (start13 <= 0) continue;
            std::vector<FigurePoint>& figure = points.emplace_back();
            const char* p = line.data() + start13;
            const char* end = line.data() + line.size();
            while (p < end && *p != '\t') {
                FigurePoint point;
                p = std::from_chars(p, end, point.x).ptr + 1;
                p = std::from_chars(p, end, point.y).ptr;
                figure.push_back(point);
                if (p < end && *p == ' ') ++p;
            }
        }
        // Both files built again from what was read, as a recovery must
        // write them once the grid is whole.
        ReplaceSynced(floorFigures, FloorFigureBytes(w.window->Grid()));
        WriteFloor(w.window->Grid(), floorCsv);
        floors.push_back(MsSince(floorStart));
        if (points.size() != 10000 || cells.size() != 10000)
            std::fprintf(stderr, "table_bench: the recovery floor read %zu figures\n", points.size());
    }
    if (restored != 10000) std::fprintf(stderr, "table_bench: %d figures came back, not 10,000\n", restored);
    rows.push_back({"Recovery of 10,000 values with their 10,000 figures of 100 points (floor: both files "
                    "read and split, every point a number, both built and written again)",
                    Median(recovered), Median(floors), "ms", kWithinHalfAgain});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--parse") return Parse(QString::fromLocal8Bit(argv[2]), true);
    if (argc == 3 && std::string(argv[1]) == "--split") return Parse(QString::fromLocal8Bit(argv[2]), false);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--recover") return Recover(QString::fromLocal8Bit(argv[2]));

    // One group alone when named ("trace", "start", ...), for a profiler.
    const std::string only = argc == 2 ? argv[1] : "";
    const std::pair<const char*, void (*)(std::vector<Row>&)> groups[] = {
        {"autosave", AutosaveRows}, {"recovery", RecoveryRows}, {"start", StartRows},
        {"settings", SettingsRows}, {"trace", TraceRows},       {"pen", PenToGridRow},
        {"paste", PasteRow},       {"figures", FiguresRows}};
    std::vector<Row> rows;
    for (const auto& [name, run] : groups)
        if (only.empty() || only == name) run(rows);
    Print(rows);
    return 0;
}
