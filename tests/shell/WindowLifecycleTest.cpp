// Start-up and shut-down of the real window: settings restored and written
// back, the run marker, recovery of a killed run, the tablet library's
// set-up, the capture sound and the data directory.

#include "FileBytes.h"
#include "shell/AppFiles.h"
#include "shell/Common.h"
#include "QStringPrinter.h"
#include "shell/QtJapanese.h"
#include "WindowFixture.h"
#ifdef Q_OS_WIN
#include "shell/WinSoundPlayer.h"
using PlatformSoundPlayer = WinSoundPlayer;
#else
#include "shell/LoadedSoundPlayer.h"
using PlatformSoundPlayer = LoadedSoundPlayer;
#endif

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

#ifdef Q_OS_WIN
const QString kDefaultWav = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");
#else
const QString kDefaultWav = QStringLiteral(":/sounds/capture.wav");
#endif

QString IniOf(const WindowFixture& f) { return f.Path(f.services.executableBaseName + ".INI"); }

// The keys of a settings file, in the order they stand.
QStringList KeysOf(const QByteArray& ini) {
    QStringList keys;
    for (const QString& line : QString::fromLatin1(ini).split(QStringLiteral("\r\n")))
        if (line.indexOf(QLatin1Char('=')) > 0) keys << line.left(line.indexOf(QLatin1Char('=')));
    return keys;
}

QString ValueOf(const QByteArray& ini, const QString& key) {
    for (const QString& line : QString::fromLatin1(ini).split(QStringLiteral("\r\n")))
        if (line.startsWith(key + QLatin1Char('='))) return line.mid(key.size() + 1);
    return QStringLiteral("<missing>");
}

// Drops the window as a killed process would, and lets Qt really delete it
// so that it cannot outlive the fakes it points at.
void KillNow(WindowFixture& f) {
    f.Kill();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Makes `later` a later run in the directory `earlier` used, so that it
// finds the settings, the marker and the autosave file left behind.
void SameDirectory(WindowFixture& later, const WindowFixture& earlier) {
    later.services.dataDirectory = earlier.dir.path();
    later.services.executableDirectory = earlier.dir.path();
}

// Records the order of the library calls that start-up makes.
class CallOrderPadLink : public FakePadLink {
public:
    void PadlinkInit(WindowHandle w, std::int32_t debug, std::int32_t reserved) override {
        calls << QStringLiteral("init");
        FakePadLink::PadlinkInit(w, debug, reserved);
    }
    void PadlinkSetMove(std::int32_t value) override {
        calls << QStringLiteral("setMove %1").arg(value);
        FakePadLink::PadlinkSetMove(value);
    }
    QStringList calls;
};

class LifecycleBothEditions : public ::testing::TestWithParam<bool> {
protected:
    LifecycleBothEditions() : f(GetParam() ? FullEdition() : ReducedEdition()) {}
    bool Full() const { return GetParam(); }
    WindowFixture f;
};

INSTANTIATE_TEST_SUITE_P(Editions, LifecycleBothEditions, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Full" : "Reduced"; });

TEST_P(LifecycleBothEditions, first_start_shows_defaults_and_writes_them_before_the_window_shows) {
    QTemporaryDir exeDir;
    f.services.executableDirectory = exeDir.path();
    const QString before = QDir::currentPath();
    frmTab& w = f.Start(false);
    const QString current = QDir::currentPath();
    QDir::setCurrent(before);
    ASSERT_TRUE(f.loaded);
    EXPECT_FALSE(w.isVisible());

    const char* texts[4] = {"10", "20", "15", "800"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("txtInput(%1)").arg(i))->text(),
                  QString::fromLatin1(texts[i]));
    EXPECT_EQ(f.Find<QComboBox>("cmbSyosu")->currentIndex(), 2);
    EXPECT_EQ(f.Find<QComboBox>("cmdWidth")->currentText(), QStringLiteral("750"));
    EXPECT_EQ(f.Find<QComboBox>("cmbNiten")->currentIndex(), 0);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(0)")->isChecked());
    EXPECT_TRUE(f.Find<QRadioButton>("optInput(1)")->isChecked());
    if (Full()) {
        EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(0)")->checkState(), Qt::Unchecked);
        EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(1)")->checkState(), Qt::Unchecked);
    }
    EXPECT_EQ(w.WavFile(), kDefaultWav);
    EXPECT_EQ(f.Find<QLabel>("lblHelp")->text(),
              QStringLiteral("Enterキー ： 次行移動\r\n\r\nDEL,BSキー： データ削除\r\n\r\n"
                             "F12キー   ： 多面積計算"));
    EXPECT_EQ(QDir(current).canonicalPath(), QDir(exeDir.path()).canonicalPath());

    const QByteArray zahyo = Full() ? QByteArray("chkZahyoX=0\r\nchkZahyoY=0\r\n") : QByteArray();
    const QByteArray expected =
        "[frmTab]\r\ntxtInput 0=10\r\ntxtInput 1=20\r\ntxtInput 2=15\r\n"
        "txtInput 3=800\r\ncmbSyosu=2\r\ncmdWidth=2\r\ncmbNiten=0\r\n" +
        zahyo + "optMes=0\r\noptInput=1\r\nsWavFile=" + kDefaultWav.toUtf8() +
        "\r\n";
    EXPECT_EQ(ReadBytes(f.Path(Full() ? "Kalvor.INI" : "Kalvor080125.INI")), expected);
}

TEST_P(LifecycleBothEditions, shut_down_writes_every_key_in_order_with_the_placement) {
    f.Start(true);
    f.Stop();
    const QByteArray ini = ReadBytes(IniOf(f));
    QStringList expected = {"txtInput 0", "txtInput 1", "txtInput 2",  "txtInput 3", "cmbSyosu",
                            "cmdWidth",   "cmbNiten",   "chkZahyoX",   "chkZahyoY",  "optMes",
                            "optInput",   "sWavFile",   "WindowState", "x",          "y",
                            "w",          "h"};
    if (!Full()) expected.remove(7, 2);  // chkZahyoX, chkZahyoY
    EXPECT_TRUE(ini.startsWith("[frmTab]\r\n") && ini.endsWith("\r\n"));
    EXPECT_EQ(KeysOf(ini), expected);
    EXPECT_EQ(ValueOf(ini, "WindowState"), QStringLiteral("0"));
    for (const char* key : {"x", "y"})
        EXPECT_EQ(ValueOf(ini, key), QString::number(ValueOf(ini, key).toInt())) << key;
    EXPECT_GT(ValueOf(ini, "w").toInt(), 0);
    EXPECT_GT(ValueOf(ini, "h").toInt(), 0);
}

TEST_P(LifecycleBothEditions, opens_at_the_corner_and_exit_while_minimised_keeps_the_placement) {
    ASSERT_TRUE(WriteBytes(IniOf(f),
               "[frmTab]\r\nWindowState=0\r\nx=5000\r\ny=3000\r\nw=13000\r\nh=9000\r\n"));
    frmTab& w = f.Start(true);
    EXPECT_EQ(w.pos(), QPoint(0, 0));
    w.showMinimized();
    QApplication::processEvents();
    if (!w.isMinimized()) GTEST_SKIP() << "this platform cannot minimise a window";
    f.Stop();
    const QByteArray ini = ReadBytes(IniOf(f));
    EXPECT_EQ(ValueOf(ini, "WindowState"), QStringLiteral("1"));
    const char* kept[][2] = {{"x", "5000"}, {"y", "3000"}, {"w", "13000"}, {"h", "9000"}};
    for (const auto& [key, value] : kept) EXPECT_EQ(ValueOf(ini, key), value) << key;
}

TEST_P(LifecycleBothEditions, tablet_and_sound_are_set_up_at_start_and_released_at_shut_down) {
    CallOrderPadLink tablet;
    f.services.tablet = &tablet;
    frmTab& w = f.Start(false);
    EXPECT_EQ(tablet.calls, QStringList({"init", "setMove 2"}));
    EXPECT_EQ(tablet.window, static_cast<QObject*>(&w));
    EXPECT_EQ(tablet.debugSwitch, 0);
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav}));
    f.Stop();
    EXPECT_EQ(tablet.closeCalls, 1);
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav, "close"}));
}

TEST_P(LifecycleBothEditions, tablet_load_error_is_told_once_and_start_up_goes_on) {
    const QString error = QStringLiteral("タブレットライブラリを読み込めませんでした。");
    f.services.tabletLoadError = error;
    f.Start(false);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice), QStringList({error}));
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_TRUE(QFile::exists(IniOf(f)));
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav}));
}

TEST_P(LifecycleBothEditions, second_copy_ends_without_touching_settings_tablet_or_marker) {
    // The first copy's marker and autosave must stay as they are.
    ASSERT_TRUE(WriteBytes(f.Path("err.dat"), "err\r\n"));
    ASSERT_TRUE(WriteBytes(f.Path("Save.csv"), "7\r\n"));
    f.services.previousInstance = true;
    f.Start(false);
    EXPECT_FALSE(f.loaded);
    EXPECT_FALSE(QFile::exists(IniOf(f)));
    EXPECT_EQ(f.tablet.initCalls, 0);
    EXPECT_TRUE(f.sound.commands.isEmpty());
    EXPECT_EQ(f.window->Grid().UsedRows(), 0);
    f.window.reset();
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("7\r\n"));
}

TEST(LifecycleSound, choosing_a_file_reopens_plays_and_keeps_it_and_no_choice_changes_nothing) {
    WindowFixture f;
    const QString chosen = f.Path("ding.wav");
    frmTab& w = f.Start(true);
    f.sound.commands.clear();
    f.dialogs.ChooseNextFile(QString());
    w.cmdWav_Click();
    EXPECT_TRUE(f.sound.commands.isEmpty());
    EXPECT_EQ(w.WavFile(), kDefaultWav);

    f.dialogs.ChooseNextFile(chosen);
    f.Find<QPushButton>("cmdWav")->click();
    ASSERT_EQ(f.dialogs.shown.size(), 2u);
    for (const FakeDialogs::Shown& s : f.dialogs.shown) {
        EXPECT_EQ(s.kind, FakeDialogs::Shown::Kind::OpenDialog);
        EXPECT_EQ(s.text, QStringLiteral("Wavファイル (*.wav)"));
        // The default path is another system's: no preset, the system's
        // sounds (or the home folder), never the root.
        EXPECT_TRUE(s.preset.isEmpty());
        EXPECT_TRUE(s.folder == QStringLiteral("/usr/share/sounds") || s.folder == QDir::homePath())
            << s.folder.toStdString();
    }
    EXPECT_EQ(f.sound.commands, QStringList({"close", "Open " + chosen, "prev", "play"}));
    EXPECT_EQ(w.WavFile(), chosen);
    // The next choice starts from the file now set, where it exists.
    ASSERT_TRUE(WriteBytes(chosen, "RIFF"));
    f.dialogs.ChooseNextFile(QString());
    w.cmdWav_Click();
    EXPECT_EQ(f.dialogs.shown.back().preset, chosen);
    EXPECT_EQ(f.dialogs.shown.back().folder, f.dir.path());
    f.Stop();
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "sWavFile"), chosen);
}

// --- Settings read at start-up ----------------------------------------------------

TEST(LifecycleSettings, only_the_exact_debug_text_switches_the_library_to_debug) {
    for (const auto& [value, debugSwitch] :
         {std::pair{"Api Padlink", -1}, std::pair{"api padlink", 0}, std::pair{"API PADLINK", 0}}) {
        SCOPED_TRACE(value);
        WindowFixture f;
        ASSERT_TRUE(WriteBytes(f.Path("Kalvor.INI"), QByteArray("[frmTab]\r\noptDataDebug=") + value + "\r\n"));
        f.Start(false);
        EXPECT_EQ(f.tablet.debugSwitch, debugSwitch);
        f.Stop();
        // Read only: shut-down never writes it back.
        EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "optDataDebug"), value);
    }
}

TEST(LifecycleSettings, stored_settings_are_restored_without_rewriting_the_file) {
    WindowFixture f;
    const QByteArray ini =
        "[frmTab]\r\ntxtInput 0=25\r\ntxtInput 1=5\r\ntxtInput 2=4\r\ntxtInput 3=1000\r\n"
        "cmbSyosu=3\r\ncmdWidth=7\r\ncmbNiten=1\r\nchkZahyoX=1\r\nchkZahyoY=0\r\noptMes=3\r\n"
        "optInput=0\r\nsWavFile=/media/beep.wav\r\n";
    ASSERT_TRUE(WriteBytes(f.Path("Kalvor.INI"), ini));
    frmTab& w = f.Start(false);
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(0)")->text(), QStringLiteral("25"));
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(3)")->text(), QStringLiteral("1000"));
    EXPECT_EQ(w.Grid().Rows(), 6);
    EXPECT_EQ(w.Grid().Cols(), 5);
    EXPECT_EQ(f.Find<QComboBox>("cmbSyosu")->currentIndex(), 3);
    EXPECT_EQ(f.Find<QComboBox>("cmdWidth")->currentText(), QStringLiteral("1500"));
    EXPECT_EQ(w.Grid().ColWidth(4), 1500);
    EXPECT_EQ(f.Find<QComboBox>("cmbNiten")->currentIndex(), 1);
    EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(0)")->checkState(), Qt::Checked);
    EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(1)")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(3)")->isChecked());
    EXPECT_EQ(w.Engine().lMesMode, 0);
    EXPECT_TRUE(f.Find<QRadioButton>("optInput(0)")->isChecked());
    EXPECT_EQ(f.sound.commands, QStringList({"Open /media/beep.wav"}));
    EXPECT_EQ(ReadBytes(f.Path("Kalvor.INI")), ini);
}

struct StoredCase {
    bool full;
    const char* key;
    const char* stored;
    const char* control;  // the control that must show the value applied
    int shown;            // list index or check state; unused for option buttons
    const char* written;  // what shut-down writes
};

class LifecycleStoredValue : public ::testing::TestWithParam<StoredCase> {};

// A value that cannot be applied falls back to its key's default; it is not
// corrected behind the operator's back, the file keeps it until shut-down
// writes the control's value.
TEST_P(LifecycleStoredValue, is_applied_or_replaced_by_the_default_and_rewritten_only_at_exit) {
    const StoredCase& c = GetParam();
    WindowFixture f(c.full ? FullEdition() : ReducedEdition());
    const QByteArray line = QByteArray(c.key) + "=" + c.stored + "\r\n";
    ASSERT_TRUE(WriteBytes(IniOf(f), "[frmTab]\r\n" + line));
    f.Start(false);
    ASSERT_TRUE(f.loaded);
    const QString control = QString::fromLatin1(c.control);
    if (auto* combo = f.Find<QComboBox>(control)) {
        EXPECT_EQ(combo->currentIndex(), c.shown);
    } else if (auto* box = f.Find<QCheckBox>(control)) {
        EXPECT_EQ(box->checkState(), static_cast<Qt::CheckState>(c.shown));
    } else {
        ASSERT_NE(f.Find<QRadioButton>(control), nullptr) << c.control;
        EXPECT_TRUE(f.Find<QRadioButton>(control)->isChecked());
    }
    EXPECT_TRUE(ReadBytes(IniOf(f)).contains(line));
    f.Stop();
    const QByteArray ini = ReadBytes(IniOf(f));
    EXPECT_EQ(ValueOf(ini, QString::fromLatin1(c.key)), QString::fromLatin1(c.written));
    EXPECT_EQ(KeysOf(ini).count(QString::fromLatin1(c.key)), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LifecycleStoredValue,
    ::testing::Values(StoredCase{true, "cmbSyosu", "9", "cmbSyosu", 2, "2"},
                      StoredCase{true, "cmbSyosu", "-2", "cmbSyosu", 2, "2"},
                      StoredCase{true, "cmdWidth", "1.5", "cmdWidth", 2, "2"},
                      StoredCase{true, "cmbNiten", "x", "cmbNiten", 0, "0"},
                      StoredCase{true, "chkZahyoX", "3", "chkZahyo(0)", 0, "0"},
                      StoredCase{true, "optMes", "abc", "optMes(0)", 0, "0"},
                      StoredCase{true, "optMes", "6", "optMes(0)", 0, "0"},
                      StoredCase{true, "optInput", "-1", "optInput(1)", 0, "1"},
                      StoredCase{true, "optInput", "99999999999", "optInput(1)", 0, "1"},
                      // The reduced edition has no mode 5: it takes the first mode.
                      StoredCase{false, "optMes", "5", "optMes(0)", 0, "0"},
                      StoredCase{false, "optMes", "4", "optMes(4)", 0, "4"}));

// --- Run marker and recovery --------------------------------------------------------

TEST(LifecycleRunMarker, marker_lives_for_the_run_and_a_normal_exit_leaves_the_next_grid_empty) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    w.PutValue(4, true);
    f.Stop();
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
    ASSERT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("4.00\r\n"));

    WindowFixture later;
    SameDirectory(later, f);
    EXPECT_EQ(later.Start(false).Grid().UsedRows(), 0);
    // The file keeps the previous run's data until this run's first value.
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("4.00\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
}

TEST(LifecycleRunMarker, killed_run_is_reloaded_with_the_current_decimals) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    w.PutValue(1.5, true);
    w.PutValue(3.25, true);
    ASSERT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("1.50,3.25\r\n"));
    KillNow(f);
    ASSERT_TRUE(QFile::exists(f.Path("err.dat")));
    Common(f.Path("Kalvor.INI")).WriteSetting(kWindowSection, "cmbSyosu", "0");

    WindowFixture later;
    SameDirectory(later, f);
    frmTab& again = later.Start(false);
    ASSERT_TRUE(later.loaded);
    EXPECT_EQ(again.Grid().TextMatrix(1, 1), QStringLiteral("2"));
    EXPECT_EQ(again.Grid().TextMatrix(1, 2), QStringLiteral("3"));
    EXPECT_EQ(again.Grid().UsedRows(), 1);
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("2,3\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_TRUE(later.dialogs.shown.empty());
}

TEST(LifecycleRunMarker, marker_without_autosave_file_starts_empty) {
    WindowFixture f;
    ASSERT_TRUE(WriteBytes(f.Path("err.dat"), "err\r\n"));
    frmTab& w = f.Start(true);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(w.Grid().UsedRows(), 0);
    EXPECT_FALSE(QFile::exists(f.Path("Save.csv")));
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(LifecycleRunMarker, marker_that_cannot_be_created_or_deleted_stops_nothing_and_is_said) {
    WindowFixture f;
    // A directory in its place: no file of that name can be opened, even by root.
    ASSERT_TRUE(QDir(f.dir.path()).mkdir("err.dat"));
    frmTab& w = f.Start(true);
    ASSERT_TRUE(f.loaded);
    EXPECT_TRUE(w.isVisible());
    w.PutValue(2.5, true);
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("2.50\r\n"));
    f.Stop();
    // Said once: a crash of this run could not be recovered.
    EXPECT_EQ(f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice).size(), 1u);
    EXPECT_TRUE(f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice).value(0).contains(
        QStringLiteral("err.dat")));
    EXPECT_TRUE(QFileInfo(f.Path("err.dat")).isDir());
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "sWavFile"), kDefaultWav);
}

TEST(LifecycleRunMarker, reduced_edition_never_creates_reads_or_deletes_autosave_or_marker) {
    WindowFixture f(ReducedEdition());
    frmTab& w = f.Start(true);
    w.PutValue(1.5, true);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("1.50"));
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
    EXPECT_FALSE(QFile::exists(f.Path("Save.csv")));
    KillNow(f);

    // A full edition's files in the same place are neither read nor deleted.
    ASSERT_TRUE(WriteBytes(f.Path("err.dat"), "err\r\n"));
    ASSERT_TRUE(WriteBytes(f.Path("Save.csv"), "5\r\n"));
    WindowFixture later(ReducedEdition());
    SameDirectory(later, f);
    EXPECT_EQ(later.Start(true).Grid().UsedRows(), 0);
    later.Stop();
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("5\r\n"));
}

// --- Data directory and the real sound player ------------------------------------------

TEST(LifecycleDataDirectory, is_the_executables_when_writable_and_not_a_system_one_else_the_per_user_one) {
    QTemporaryDir dir;
    EXPECT_EQ(ResolveDataDirectory(dir.path()), dir.path());
    // The probe leaves nothing behind.
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    struct TestMode {
        TestMode() { QStandardPaths::setTestModeEnabled(true); }
        ~TestMode() { QStandardPaths::setTestModeEnabled(false); }
    } testMode;
    ASSERT_TRUE(WriteBytes(dir.filePath("plain"), "x"));
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_FALSE(fallback.isEmpty());
    const bool existedBefore = QDir(fallback).exists();
    for (const char* unwritable : {"plain", "plain/sub"}) {
        EXPECT_EQ(ResolveDataDirectory(dir.filePath(unwritable)), fallback) << unwritable;
        EXPECT_TRUE(QDir(fallback).exists());
    }
    // Installed among the system's programs, even when root could write there.
#ifdef Q_OS_WIN
    const QString programs = QDir::fromNativeSeparators(qEnvironmentVariable("ProgramFiles"));
    ASSERT_FALSE(programs.isEmpty());
    EXPECT_EQ(ResolveDataDirectory(programs + QStringLiteral("/Kalvor")), fallback);
#else
    EXPECT_EQ(ResolveDataDirectory(QStringLiteral("/usr/bin")), fallback);
#endif
    if (!existedBefore) QDir(fallback).removeRecursively();
}

// The real player: a missing file and commands in any order give silence,
// not a box the operator must answer (nor a crash, under the sanitizers).
TEST(LifecycleSoundPlayer, missing_file_and_commands_in_any_order_are_silent) {
    const QWidgetList before = QApplication::topLevelWidgets();
    PlatformSoundPlayer player;
    player.Prev();
    player.Play();
    player.Close();
    player.Open(QStringLiteral("/nonexistent/dir/chord.wav"));
    player.Prev();
    player.Play();
    player.Close();
    player.Close();
    // Nothing is left to report later: a path that is not a file loads
    // nothing, and PlaySound is told never to play a default in its place.
    // What the commands posted runs here.
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::topLevelWidgets(), before);
}

#ifndef Q_OS_WIN
// The player itself lives in a module loaded once the loop runs after a
// sound file is opened: a build or a package without it would be silent for
// ever, with nothing said on screen.
TEST(LifecycleSoundPlayer, an_opened_sound_loads_the_sound_module) {
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("click.wav"));
    ASSERT_TRUE(WriteBytes(wav, QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
                                           "\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0data\0\0\0\0",
                                           44)));
    PlatformSoundPlayer player;
    player.Open(wav);
    // One pass of the loop: the module, not yet the multimedia backend.
    QCoreApplication::processEvents();
    EXPECT_TRUE(ReadBytes(QStringLiteral("/proc/self/maps")).contains("kalvor-sound"));
}
#endif

}  // namespace

namespace {

TEST(LifecycleJapanese, qts_own_dialog_texts_read_in_japanese) {
#ifdef Q_OS_WIN
    // Beside the executable, as the zip ships it (here built in).
    const QString beside = QStringLiteral(":/");
#else
    // None beside the executable: Qt's own translations directory.
    const QString beside = QStringLiteral("/nonexistent");
#endif
    QTranslator* translator = InstallQtJapanese(*qApp, beside);
    ASSERT_NE(translator, nullptr);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kalvor"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("名前を付けて保存"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

}  // namespace
