#include "FileBytes.h"
#include "CrashRound.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "DirectoryWatch.h"
#include "KalvorProcess.h"
#include "figures/FigureFile.h"

namespace {

const QString kSave = QStringLiteral("Save.csv");
const QString kFigures = QStringLiteral("Save.figures");
const QString kMarker = QStringLiteral("err.dat");
const QString kSettings = QStringLiteral("Kalvor.INI");
const QString kSaveTemporary = QStringLiteral("Save.csv.kalvor-");
const QString kSettingsTemporary = QStringLiteral("Kalvor.INI.kalvor-");

// A replay that restarts the program waits this long before its first line,
// ms, on top of its own 300 ms: the recovery is checked the moment start-up
// has finished, before any new value can land over a recovered one.
constexpr int kRestartLeadMs = 500;
// How long a start-up may take before the loop calls it a failure, ms; the
// program needs about 0.1 s, a loaded machine many times that.
constexpr int kStartUpLimitMs = 20000;
// The latest kill of a run aimed at a moment that may never come, ms.
constexpr int kAimLimitMs = 4000;

// What a file holds, a missing one (killed before it was first written)
// counting as empty.
QByteArray ReadAll(const QString& path) { return FileBytes(path).value_or(QByteArray()); }

// A rewrite through rename gives the file a new inode: the recovery's write
// is told apart from the file the kill left, even when the bytes agree.
unsigned long Inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0
               ? static_cast<unsigned long>(info.st_ino)
               : 0;
}

// What the program writes for a number with `decimals` digits: ".50" for a
// value under one.
QString ProgramForm(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (decimals > 0 && text.startsWith(QStringLiteral("0."))) text.remove(0, 1);
    return text;
}

// Two texts of one number, each with the decimals it was written with: the
// recovery writes a value again when the setting changed.
bool SameNumber(const QString& a, const QString& b) {
    if (a == b) return true;
    bool okA = false;
    bool okB = false;
    const double x = a.toDouble(&okA);
    const double y = b.toDouble(&okB);
    if (!okA || !okB) return false;
    const auto decimals = [](const QString& text) {
        const qsizetype dot = text.indexOf(QLatin1Char('.'));
        return dot < 0 ? 0 : static_cast<int>(text.size() - dot - 1);
    };
    return std::abs(x - y) <= 0.5 * std::pow(10.0, -std::min(decimals(a), decimals(b))) + 1e-9;
}

QString Tail(const QString& path, int lines) {
    const QStringList all = QString::fromLocal8Bit(ReadAll(path)).split(QLatin1Char('\n'));
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join(QStringLiteral("\n    "));
}

}  // namespace

CrashRound::CrashRound(QString kalvor, QString directory, int number, int kills,
                       std::mt19937_64& random, CrashTally& tally)
    : kalvor_(std::move(kalvor)),
      directory_(std::move(directory)),
      number_(number),
      kills_(kills),
      random_(random),
      tally_(tally) {
    data_ = directory_ + QStringLiteral("/data");
    runtime_ = directory_ + QStringLiteral("/runtime");
    side_ = directory_ + QStringLiteral("/side");
    log_ = side_ + QStringLiteral("/output.txt");
}

QString CrashRound::Path(const QString& name) const { return data_ + QLatin1Char('/') + name; }

void CrashRound::Fault(int& counter, int count, const QString& what) {
    counter += count;
    tally_.faults.append(stage_ + QStringLiteral(": ") + what);
}

bool CrashRound::Run() {
    Plan();
    stage_ = QStringLiteral("round %1").arg(number_);
    if (!Prepare()) return false;
    for (qsizetype i = 0; i < lives_.size(); ++i) {
        if (!RunLife(static_cast<int>(i))) return true;
    }
    FinalCheck();
    return true;
}

// --- The plan -----------------------------------------------------------------

void CrashRound::Plan() {
    auto uniform = [this](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    };
    auto chance = [this](double p) { return std::bernoulli_distribution(p)(random_); };
    // Grids that the values overflow (they wrap and go over earlier cells),
    // that they about fill, and that they leave mostly empty.
    auto draw = [&] {
        Settings s;
        s.down = chance(0.5);
        switch (uniform(0, 2)) {
            case 0:
                s.rows = uniform(1, 4);
                s.cols = uniform(1, 4);
                break;
            case 1:
                s.rows = uniform(3, 8);
                s.cols = uniform(3, 8);
                break;
            default:
                s.rows = uniform(15, 60);
                s.cols = uniform(10, 40);
                break;
        }
        s.decimals = uniform(0, 5);
        return s;
    };

    // Some rounds begin where an earlier crash left off, with typed texts
    // among the numbers and gaps between them.
    if (chance(0.3)) {
        const QStringList typed = {QStringLiteral("1.2.3"), QStringLiteral("メモ"),
                                   QStringLiteral("ｘ")};
        const int rows = uniform(1, 5);
        const int cols = uniform(1, 5);
        for (int r = 1; r <= rows; ++r) {
            QStringList fields;
            for (int c = 1; c <= cols; ++c) {
                const int kind = uniform(0, 99);
                // The used rectangle: something in the last line and column.
                const bool needed = (r == rows && c == 1) || (r == 1 && c == cols);
                if (needed || (kind >= 45 && kind < 85)) {
                    // One draw per statement: the order of a call's
                    // arguments is the compiler's, and the seed must replay.
                    const double value = uniform(0, 999999) / 100.0;
                    fields.append(ProgramForm(value, uniform(0, 3)));
                } else if (kind >= 85) {
                    fields.append(typed[uniform(0, 2)]);
                    if (!texts_.contains(fields.last())) texts_.append(fields.last());
                } else {
                    fields.append(QString());
                }
            }
            seed_ += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
        }
    }

    const int count = std::min(uniform(2, 4), kills_);
    Settings settings = draw();
    for (int i = 0; i < count; ++i) {
        Life life;
        if (i == 0 || chance(1.0 / 3)) {
            if (i > 0) settings = draw();
            life.writeSettings = true;
        }
        life.settings = settings;
        const bool restart = i > 0 || !seed_.isEmpty();
        life.leadMs = restart ? kRestartLeadMs : uniform(0, 200);
        // The writer's temporary files have no name until just before they
        // replace the file (where the system allows), so a killed write
        // rarely leaves one: some starts find what a killed write leaves on
        // other file systems.
        life.plant = restart && chance(0.3);
        // Some kills aim at the moment a file gets its name: an autosave
        // about to replace the old one, the run marker, the settings.
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (r < 0.15) {
            // In a recovery the first write is the reloaded grid's.
            life.aim = Aim::Write;
            life.nth = restart && chance(0.5) ? 1 : uniform(1, 4);
            life.delayMs = kAimLimitMs;
        } else if (r < 0.2) {
            life.aim = Aim::Marker;
            life.delayMs = uniform(0, 3000);
        } else if (!restart && r < 0.3) {
            life.aim = Aim::SettingsWrite;
            life.delayMs = kAimLimitMs;
        } else {
            // Many kills early, where start-up, the recovery and the first
            // value are; the others anywhere in a stream of values.
            life.delayMs = chance(0.35) ? uniform(0, 350) : uniform(0, 3000);
        }
        lives_.append(life);
    }
    finalWritesSettings_ = chance(1.0 / 3);
    final_ = finalWritesSettings_ ? draw() : settings;
}

QByteArray CrashRound::Replay(int leadMs) {
    auto uniform = [this](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    };
    // Triangles of A by B tablet counts, closed by the side switch: one
    // value every 200 ms or so, areas from about 0.2 to 1250 with the default
    // scale, so that values below one (".50") come too.
    QByteArray replay;
    if (leadMs > 0) replay += "wait " + QByteArray::number(leadMs) + "\n";
    for (int figure = 0; figure < 80; ++figure) {
        const int across = uniform(40, 4000);
        const int up = uniform(40, 4000);
        replay += "pick 0 0\npick " + QByteArray::number(across) + " 0\npick 0 " +
                  QByteArray::number(up) + "\nside\n";
        if (uniform(0, 4) == 0) replay += "wait " + QByteArray::number(uniform(0, 250)) + "\n";
    }
    return replay;
}

bool CrashRound::Prepare() {
    for (const QString& dir : {data_, runtime_, side_}) {
        if (!QDir().mkpath(dir)) {
            Fault(tally_.failures, 1, QStringLiteral("cannot create %1").arg(dir));
            return false;
        }
    }
    // Qt takes a runtime directory only when it is private to the user.
    QFile::setPermissions(runtime_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A hard link is a copy that costs nothing; another file system needs
    // the bytes.
    const QString exe = Path(QStringLiteral("Kalvor"));
    if (::link(QFile::encodeName(kalvor_).constData(), QFile::encodeName(exe).constData()) != 0 &&
        !QFile::copy(kalvor_, exe)) {
        Fault(tally_.failures, 1, QStringLiteral("cannot copy %1 to %2").arg(kalvor_, exe));
        return false;
    }
    if (!seed_.isEmpty()) {
        if (!WriteBytes(Path(kSave), seed_) || !WriteBytes(Path(kMarker), "err\r\n")) {
            Fault(tally_.failures, 1, QStringLiteral("cannot write the seeded autosave"));
            return false;
        }
        reference_ = SaveTable::Read(seed_, texts_);
        seedTable_ = reference_;
    }
    return true;
}

QStringList CrashRound::Environment(const QString& pad) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KALVOR_PAD"), pad);
    // The single-copy lock and its wake file live here: one per round.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    env.insert(QStringLiteral("TMPDIR"), side_);
    return env.toStringList();
}

QStringList CrashRound::Leftovers() const {
    return QDir(data_).entryList({QStringLiteral("*.kalvor-*")},
                                 QDir::Files | QDir::Hidden | QDir::System);
}

// --- Checks -------------------------------------------------------------------

void CrashRound::CheckSettings(const Settings& settings) {
    // The keys this round set must still read as set: the settings file is
    // replaced whole too, and a torn one would bring back other defaults.
    const QString text = QString::fromUtf8(ReadAll(Path(kSettings)));
    const QStringList wanted = {QStringLiteral("txtInput 1=%1").arg(settings.rows),
                                QStringLiteral("txtInput 2=%1").arg(settings.cols),
                                QStringLiteral("optInput=%1").arg(settings.down ? 0 : 1),
                                QStringLiteral("cmbSyosu=%1").arg(settings.decimals)};
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const bool whole = text.endsWith(QStringLiteral("\r\n")) &&
                       lines.contains(QStringLiteral("[frmTab]")) &&
                       std::all_of(wanted.cbegin(), wanted.cend(),
                                   [&](const QString& line) { return lines.contains(line); });
    if (!whole) Fault(tally_.torn, 1, QStringLiteral("Kalvor.INI lost its keys:\n    ") + text);
}

void CrashRound::CheckRecovery(const Settings& settings, unsigned long inodeBefore,
                               const QStringList& leftBefore, bool planted) {
    ++tally_.recoveries;
    if (settings.down) ++tally_.filledDown;
    if (planted) ++tally_.planted;
    const QByteArray bytes = ReadAll(Path(kSave));
    const SaveTable table = SaveTable::Read(bytes, texts_);
    if (table.Torn())
        Fault(tally_.torn, 1, QStringLiteral("Save.csv torn after start-up: ") + table.Problem());
    if (reference_.HasValues()) {
        if (reference_.LineCount() > settings.rows || reference_.FieldCount() > settings.cols)
            ++tally_.grown;
        const QStringList missing = table.Missing(reference_, settings.decimals);
        if (bytes.isEmpty()) {
            Fault(tally_.torn, 1, QStringLiteral("Save.csv empty after start-up"));
        }
        if (!missing.isEmpty()) {
            Fault(tally_.lost, static_cast<int>(missing.size()),
                  QStringLiteral("values not brought back:\n    ") +
                      missing.mid(0, 10).join(QStringLiteral("\n    ")));
        } else if (Inode(Path(kSave)) == inodeBefore) {
            // The file still holds them, but the grid does not: the next
            // value would write them away.
            Fault(tally_.lost, reference_.ValueCount(),
                  QStringLiteral("the grid was not reloaded (Save.csv not rewritten)"));
        }
    }
    if (!QFile::exists(Path(kMarker)))
        Fault(tally_.failures, 1, QStringLiteral("no run marker after start-up"));
    QStringList stayed;
    for (const QString& name : leftBefore)
        if (QFile::exists(Path(name))) stayed.append(name);
    if (!stayed.isEmpty()) {
        Fault(tally_.leftovers, static_cast<int>(stayed.size()),
              QStringLiteral("left behind after start-up: ") + stayed.join(QLatin1Char(' ')));
    }
    CheckFigures(table, "after start-up");
    if (!table.Torn()) reference_ = table;
}

void CrashRound::CheckFigures(const SaveTable& table, const char* when) {
    if (table.Torn()) return;
    const FigureFileContent content = ParseFigureFile(ReadAll(Path(kFigures)));
    // An empty file is one never written: then no value may want a figure.
    if (!content.problems.isEmpty() && QFile::exists(Path(kFigures)))
        Fault(tally_.torn, 1,
              QStringLiteral("Save.figures %1 does not read: %2").arg(QString::fromLatin1(when), content.problems.join(QStringLiteral("; "))));
    std::multimap<std::pair<int, int>, QString> figures;
    for (const KeptFigureAt& at : content.figures) figures.emplace(std::pair{at.row, at.col}, at.figure->value);
    QStringList missing;
    for (int line = 1; line <= table.LineCount(); ++line) {
        for (int field = 1; field <= table.FieldCount(); ++field) {
            const QString value = table.Field(line, field);
            if (value.isEmpty()) continue;
            // Seeded values were never measured. Recoveries with other
            // decimals round them again each time (3355.45, 3355.5, 3356):
            // within one of the seed is still the seed (and one measured
            // over it with about the same number is let pass too).
            const QString seeded = seedTable_.Field(line, field);
            bool number = false;
            const double seededNumber = seeded.toDouble(&number);
            if (!seeded.isEmpty() &&
                (seeded == value || (number && std::abs(seededNumber - value.toDouble()) <= 1.0)))
                continue;
            ++tally_.figuresChecked;
            const auto [from, to] = figures.equal_range({line, field});
            if (std::none_of(from, to, [&](const auto& kept) { return SameNumber(kept.second, value); }))
                missing << QStringLiteral("%1:%2 %3").arg(line).arg(field).arg(value);
        }
    }
    if (!missing.isEmpty())
        Fault(tally_.lost, static_cast<int>(missing.size()),
              QStringLiteral("measured values without their figure %1:\n    ").arg(QString::fromLatin1(when)) +
                  missing.mid(0, 10).join(QStringLiteral("\n    ")));
}

// --- Runs ---------------------------------------------------------------------

void CrashRound::Log() {
    // The program's output goes to the same file; a line marks each stage.
    QFile log(log_);
    if (log.open(QIODevice::Append)) log.write("--- " + stage_.toUtf8() + "\n");
}

void CrashRound::Plant() {
    // Half an autosave and a settings file under the writer's temporary
    // names, as a write killed before its rename leaves them where the file
    // system gives temporary files a name from the start.
    const QByteArray save = ReadAll(Path(kSave));
    if (!WriteBytes(Path(kSaveTemporary + QStringLiteral("XXa%1b7").arg(number_ % 10)),
                    save.left(save.size() / 2)) ||
        !WriteBytes(Path(kSettingsTemporary + QStringLiteral("XXc%1d8").arg(number_ % 10)),
                    "[frmTab]\r\ntxtIn"))
        Fault(tally_.failures, 1, QStringLiteral("cannot plant the leftovers"));
}

void CrashRound::WriteSettings(const Settings& settings) {
    // Only the keys that matter here; the program adds the others at start.
    const QByteArray ini = "[frmTab]\r\ntxtInput 1=" + QByteArray::number(settings.rows) +
                           "\r\ntxtInput 2=" + QByteArray::number(settings.cols) +
                           "\r\noptInput=" + (settings.down ? "0" : "1") +
                           "\r\ncmbSyosu=" + QByteArray::number(settings.decimals) + "\r\n";
    if (!WriteBytes(Path(kSettings), ini))
        Fault(tally_.failures, 1, QStringLiteral("cannot write Kalvor.INI"));
}

bool CrashRound::RunLife(int index) {
    const Life& life = lives_[index];
    stage_ = QStringLiteral("round %1 run %2").arg(number_).arg(index + 1);
    if (life.writeSettings) WriteSettings(life.settings);
    // A killed run leaves its wake file: the next one's must be new.
    for (const QString& name : QDir(runtime_).entryList({QStringLiteral("*.wake")}, QDir::Files))
        QFile::remove(runtime_ + QLatin1Char('/') + name);
    const QString replay = side_ + QStringLiteral("/replay-%1.txt").arg(index + 1);
    if (!WriteBytes(replay, Replay(life.leadMs)))
        Fault(tally_.failures, 1, QStringLiteral("cannot write %1").arg(replay));
    Log();
    if (life.plant) Plant();
    const unsigned long inodeBefore = Inode(Path(kSave));
    const QStringList leftBefore = Leftovers();
    const bool recovering = reference_.HasValues();

    DirectoryWatch watch;
    if (!watch.Add(data_) || !watch.Add(runtime_)) {
        Fault(tally_.failures, 1, QStringLiteral("cannot watch %1").arg(directory_));
        return false;
    }
    KalvorProcess program;
    QString error;
    QElapsedTimer clock;
    clock.start();
    if (!program.Start(Path(QStringLiteral("Kalvor")),
                       Environment(QStringLiteral("replay:") + replay), log_, error)) {
        Fault(tally_.failures, 1, QStringLiteral("cannot start: ") + error);
        return false;
    }
    bool woke = false;
    bool ended = false;
    bool hit = false;
    int writes = 0;
    int writesAfterStart = 0;
    for (;;) {
        const qint64 left = life.delayMs - clock.elapsed();
        if (left <= 0) break;
        bool aimed = false;
        bool wakeNow = false;
        for (const DirectoryWatch::Event& e :
             watch.Wait(static_cast<int>(std::min<qint64>(left, 20)))) {
            using Kind = DirectoryWatch::Event::Kind;
            const bool data = e.directory == data_;
            if (data && e.kind == Kind::Created && e.name.startsWith(kSaveTemporary)) {
                ++writes;
                if (woke || wakeNow) ++writesAfterStart;
                aimed = aimed || (life.aim == Aim::Write && writes == life.nth);
            }
            aimed = aimed || (data && life.aim == Aim::Marker && e.name == kMarker);
            aimed = aimed || (data && life.aim == Aim::SettingsWrite && e.kind == Kind::Created &&
                              e.name.startsWith(kSettingsTemporary));
            wakeNow = wakeNow || (!data && e.kind == Kind::Created && e.name.endsWith(".wake"));
        }
        // The kill first, while the moment aimed at lasts; the files it
        // leaves are what the checks read.
        if (aimed) {
            program.Kill();
            ++tally_.aimedHits;
            hit = true;
        }
        if (wakeNow && !woke) {
            woke = true;
            CheckRecovery(life.settings, inodeBefore, leftBefore, life.plant);
        }
        if (aimed) break;
        if (!program.Running()) {
            ended = true;
            break;
        }
    }
    program.Kill();
    if (ended) {
        Fault(tally_.failures, 1,
              QStringLiteral("the program ended on its own (%1):\n    %2")
                  .arg(program.Ended(), Tail(log_, 10)));
        return false;
    }
    ++tally_.kills;

    // Where the kill landed.
    const QStringList temporary = Leftovers();
    if (std::any_of(temporary.cbegin(), temporary.cend(), [&](const QString& name) {
            return !leftBefore.contains(name) &&
                   (name.startsWith(kSaveTemporary) || name.startsWith(kSettingsTemporary));
        }))
        ++tally_.leftTemporary;
    const char* where = "between values";
    if (!woke) {
        ++tally_.inStartUp;
        if (recovering) ++tally_.inRecovery;
        if (recovering && hit && life.aim == Aim::Write) ++tally_.inRecoveryWrite;
        where = recovering ? "in start-up, recovering" : "in start-up";
    } else if (writesAfterStart == 0) {
        ++tally_.beforeFirstValue;
        where = "before the first value";
    } else {
        ++tally_.betweenValues;
    }
    if (verbose_) {
        const QString aim = life.aim == Aim::Time ? QStringLiteral("after %1 ms").arg(life.delayMs)
                            : life.aim == Aim::Write
                                ? QStringLiteral("at autosave write %1").arg(life.nth)
                            : life.aim == Aim::Marker ? QStringLiteral("at the run marker")
                                                      : QStringLiteral("at a settings write");
        std::printf("%s: aimed %s%s, killed after %lld ms %s; %d autosave writes; left: %s\n",
                    qPrintable(stage_), qPrintable(aim), hit ? " (hit)" : "",
                    static_cast<long long>(clock.elapsed()), where, writes,
                    qPrintable(Leftovers().join(QLatin1Char(' '))));
    }

    // The last complete autosave: whole, and, when the kill came before the
    // recovery had finished, still holding every value it held before.
    const SaveTable table = SaveTable::Read(ReadAll(Path(kSave)), texts_);
    if (table.Torn()) {
        Fault(tally_.torn, 1, QStringLiteral("Save.csv torn by the kill: ") + table.Problem());
    } else if (reference_.HasValues() && !table.HasValues()) {
        Fault(tally_.torn, 1, QStringLiteral("Save.csv emptied"));
    } else if (!woke) {
        const QStringList missing = table.Missing(reference_, life.settings.decimals);
        if (!missing.isEmpty()) {
            Fault(tally_.lost, static_cast<int>(missing.size()),
                  QStringLiteral("values lost by a kill in start-up:\n    ") +
                      missing.mid(0, 10).join(QStringLiteral("\n    ")));
        }
    }
    CheckSettings(life.settings);
    CheckFigures(table, "after the kill");
    if (!table.Torn()) reference_ = table;
    return true;
}

bool CrashRound::FinalCheck() {
    stage_ = QStringLiteral("round %1 last start").arg(number_);
    if (finalWritesSettings_) WriteSettings(final_);
    for (const QString& name : QDir(runtime_).entryList({QStringLiteral("*.wake")}, QDir::Files))
        QFile::remove(runtime_ + QLatin1Char('/') + name);
    Log();
    const unsigned long inodeBefore = Inode(Path(kSave));
    const QStringList leftBefore = Leftovers();

    DirectoryWatch watch;
    if (!watch.Add(runtime_)) {
        Fault(tally_.failures, 1, QStringLiteral("cannot watch %1").arg(runtime_));
        return false;
    }
    KalvorProcess program;
    QString error;
    if (!program.Start(Path(QStringLiteral("Kalvor")), Environment(QStringLiteral("none")), log_,
                       error)) {
        Fault(tally_.failures, 1, QStringLiteral("cannot start: ") + error);
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartUpLimitMs) {
        for (const DirectoryWatch::Event& e : watch.Wait(20)) {
            if (e.kind != DirectoryWatch::Event::Kind::Created || !e.name.endsWith(".wake"))
                continue;
            CheckRecovery(final_, inodeBefore, leftBefore, false);
            return true;
        }
        if (!program.Running()) break;
    }
    Fault(tally_.failures, 1,
          QStringLiteral("start-up did not finish (%1):\n    %2")
              .arg(program.Running() ? QStringLiteral("still running") : program.Ended(),
                   Tail(log_, 10)));
    return false;
}
