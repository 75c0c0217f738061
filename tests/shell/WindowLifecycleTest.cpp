// Start-up and shut-down of the real window: settings restored and written
// back, the run marker, recovery of a killed run, the tablet library's
// set-up, the capture sound and the data directory.

#include "AppFiles.h"
#include "Common.h"
#include "QStringPrinter.h"
#include "QtSoundPlayer.h"
#include "WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kDefaultWav = QStringLiteral("C:\\WINDOWS\\Media\\chord.wav");

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// The keys of a settings file, in the order they stand.
QStringList KeysOf(const QByteArray& ini) {
    QStringList keys;
    for (const QString& line : QString::fromLatin1(ini).split(QStringLiteral("\r\n"))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0) keys << line.left(eq);
    }
    return keys;
}

QString ValueOf(const QByteArray& ini, const QString& key) {
    for (const QString& line : QString::fromLatin1(ini).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(key + QLatin1Char('='))) return line.mid(key.size() + 1);
    }
    return QStringLiteral("<missing>");
}

// Drops the window as a killed process would, and lets Qt really delete it
// so that it cannot outlive the fakes it points at.
void KillNow(WindowFixture& f) {
    f.Kill();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A later run in the directory an earlier run used, so that it finds the
// settings, the marker and the autosave file left behind.
class LaterRun {
public:
    LaterRun(const QString& directory, const Edition& edition) : edition_(edition) {
        services.tablet = &tablet;
        services.sound = &sound;
        services.dialogs = &dialogs;
        services.clipboard = &clipboard;
        services.dataDirectory = directory;
        services.executableDirectory = directory;
        services.executableBaseName = edition.executableName;
    }
    ~LaterRun() { Stop(); }

    frmTab& Start() {
        window = std::make_unique<frmTab>(edition_, services);
        loaded = window->Form_Load();
        return *window;
    }
    void Stop() {
        if (window) window->Form_Unload();
        window.reset();
    }

    FakePadLink tablet;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    frmTabServices services;
    std::unique_ptr<frmTab> window;
    bool loaded = false;

private:
    Edition edition_;
};

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

std::string EditionName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Full" : "Reduced";
}

Edition EditionFor(bool full) { return full ? FullEdition() : ReducedEdition(); }

}  // namespace

// --- Both editions ------------------------------------------------------------

class LifecycleBothEditions : public ::testing::TestWithParam<bool> {
protected:
    LifecycleBothEditions() : f(EditionFor(GetParam())) {}
    bool Full() const { return GetParam(); }
    WindowFixture f;
};

INSTANTIATE_TEST_SUITE_P(Editions, LifecycleBothEditions, ::testing::Values(true, false),
                         EditionName);

TEST_P(LifecycleBothEditions, first_start_shows_defaults_and_writes_them_before_the_window_shows) {
    frmTab& w = f.Start(false);
    ASSERT_TRUE(f.loaded);
    EXPECT_FALSE(w.isVisible());

    const char* texts[4] = {"10", "20", "15", "800"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Find<QLineEdit>(QStringLiteral("txtInput(%1)").arg(i))->text(),
                  QString::fromLatin1(texts[i]));
    EXPECT_EQ(f.Find<QComboBox>("cmbSyosu")->currentIndex(), 2);
    EXPECT_EQ(f.Find<QComboBox>("cmdWidth")->currentIndex(), 2);
    EXPECT_EQ(f.Find<QComboBox>("cmdWidth")->currentText(), QStringLiteral("750"));
    EXPECT_EQ(f.Find<QComboBox>("cmbNiten")->currentIndex(), 0);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(0)")->isChecked());
    EXPECT_TRUE(f.Find<QRadioButton>("optInput(1)")->isChecked());
    EXPECT_FALSE(f.Find<QRadioButton>("optInput(0)")->isChecked());
    if (Full()) {
        EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(0)")->checkState(), Qt::Unchecked);
        EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(1)")->checkState(), Qt::Unchecked);
    }
    EXPECT_EQ(w.WavFile(), kDefaultWav);

    const QByteArray zahyo = Full() ? QByteArray("chkZahyoX=0\r\nchkZahyoY=0\r\n") : QByteArray();
    const QByteArray expected = "[frmTab]\r\ntxtInput 0=10\r\ntxtInput 1=20\r\ntxtInput 2=15\r\n"
                                "txtInput 3=800\r\ncmbSyosu=2\r\ncmdWidth=2\r\ncmbNiten=0\r\n" +
                                zahyo +
                                "optMes=0\r\noptInput=1\r\nsWavFile=C:\\WINDOWS\\Media\\chord.wav\r\n";
    EXPECT_EQ(ReadBytes(f.Path(f.services.executableBaseName + ".INI")), expected);
    EXPECT_EQ(w.SettingsPath(), f.Path(Full() ? "Kalvor.INI" : "Kalvor080125.INI"));
}

TEST_P(LifecycleBothEditions, shut_down_writes_every_key_in_order_with_the_placement) {
    f.Start(true);
    f.Stop();
    const QByteArray ini = ReadBytes(f.Path(f.services.executableBaseName + ".INI"));
    QStringList expected = {"txtInput 0", "txtInput 1", "txtInput 2", "txtInput 3", "cmbSyosu",
                            "cmdWidth",   "cmbNiten",   "chkZahyoX",  "chkZahyoY",  "optMes",
                            "optInput",   "sWavFile",   "WindowState", "x",         "y",
                            "w",          "h"};
    if (!Full()) {
        expected.removeAll(QStringLiteral("chkZahyoX"));
        expected.removeAll(QStringLiteral("chkZahyoY"));
    }
    EXPECT_TRUE(ini.startsWith("[frmTab]\r\n"));
    EXPECT_TRUE(ini.endsWith("\r\n"));
    EXPECT_EQ(KeysOf(ini), expected);
    EXPECT_EQ(ValueOf(ini, "WindowState"), QStringLiteral("0"));
    const QRegularExpression integer(QStringLiteral("^-?[0-9]+$"));
    for (const char* key : {"x", "y", "w", "h"})
        EXPECT_TRUE(integer.match(ValueOf(ini, QString::fromLatin1(key))).hasMatch()) << key;
    EXPECT_GT(ValueOf(ini, "w").toInt(), 0);
    EXPECT_GT(ValueOf(ini, "h").toInt(), 0);
}

TEST_P(LifecycleBothEditions, exit_while_minimised_records_the_state_and_keeps_the_placement) {
    WriteBytes(f.Path(f.services.executableBaseName + ".INI"),
               "[frmTab]\r\nWindowState=0\r\nx=111\r\ny=222\r\nw=13000\r\nh=9000\r\n");
    frmTab& w = f.Start(true);
    w.showMinimized();
    QApplication::processEvents();
    if (!w.isMinimized()) GTEST_SKIP() << "this platform cannot minimise a window";
    f.Stop();
    const QByteArray ini = ReadBytes(f.Path(f.services.executableBaseName + ".INI"));
    EXPECT_EQ(ValueOf(ini, "WindowState"), QStringLiteral("1"));
    EXPECT_EQ(ValueOf(ini, "x"), QStringLiteral("111"));
    EXPECT_EQ(ValueOf(ini, "y"), QStringLiteral("222"));
    EXPECT_EQ(ValueOf(ini, "w"), QStringLiteral("13000"));
    EXPECT_EQ(ValueOf(ini, "h"), QStringLiteral("9000"));
}

TEST_P(LifecycleBothEditions, start_up_sets_title_directory_position_and_key_help) {
    QTemporaryDir exeDir;
    f.services.executableDirectory = exeDir.path();
    // The window opens at the corner whatever placement the last exit recorded.
    WriteBytes(f.Path(f.services.executableBaseName + ".INI"),
               "[frmTab]\r\nx=5000\r\ny=3000\r\n");
    const QString before = QDir::currentPath();
    frmTab& w = f.Start(true);
    const QString current = QDir::currentPath();
    QDir::setCurrent(before);

    EXPECT_EQ(QDir(current).canonicalPath(), QDir(exeDir.path()).canonicalPath());
    EXPECT_EQ(w.pos(), QPoint(0, 0));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Kalvor ／ タブレット計測システム ver") +
                                           (Full() ? "1.1.1" : "1.0.14") + "   "))
        << w.windowTitle().toStdString();
    EXPECT_EQ(f.Find<QLabel>("lblHelp")->text(),
              QStringLiteral("Enterキー ： 次行移動\r\n\r\nDEL,BSキー： データ削除\r\n\r\n"
                             "F12キー   ： 多面積計算"));
}

TEST_P(LifecycleBothEditions, tablet_library_is_initialised_with_the_window_then_set_to_move_2) {
    CallOrderPadLink tablet;
    f.services.tablet = &tablet;
    frmTab& w = f.Start(false);
    EXPECT_EQ(tablet.calls, QStringList({"init", "setMove 2"}));
    EXPECT_EQ(tablet.window, static_cast<QObject*>(&w));
    EXPECT_EQ(tablet.debugSwitch, 0);
    f.Stop();
    EXPECT_EQ(tablet.closeCalls, 1);
}

TEST_P(LifecycleBothEditions, tablet_load_error_is_told_once_and_start_up_goes_on) {
    const QString error = QStringLiteral("タブレットライブラリを読み込めませんでした。");
    f.services.tabletLoadError = error;
    f.Start(false);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice), QStringList({error}));
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_TRUE(QFile::exists(f.Path(f.services.executableBaseName + ".INI")));
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav}));
}

TEST_P(LifecycleBothEditions, second_copy_ends_without_touching_settings_tablet_or_marker) {
    // The first copy's marker and autosave must stay as they are.
    WriteBytes(f.Path("err.dat"), "err\r\n");
    WriteBytes(f.Path("Save.csv"), "7\r\n");
    f.services.previousInstance = true;
    f.Start(false);
    EXPECT_FALSE(f.loaded);
    EXPECT_FALSE(QFile::exists(f.Path(f.services.executableBaseName + ".INI")));
    EXPECT_EQ(f.tablet.initCalls, 0);
    EXPECT_TRUE(f.sound.commands.isEmpty());
    EXPECT_EQ(f.window->Grid().UsedRows(), 0);
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("7\r\n"));
    f.window.reset();
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
}

TEST_P(LifecycleBothEditions, capture_sound_is_opened_at_start_up_and_closed_at_shut_down) {
    f.Start(false);
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav}));
    f.Stop();
    EXPECT_EQ(f.sound.commands, QStringList({"Open " + kDefaultWav, "close"}));
}

TEST_P(LifecycleBothEditions, choosing_a_sound_file_reopens_plays_and_keeps_it) {
    const QString chosen = f.Path("ding.wav");
    frmTab& w = f.Start(true);
    f.sound.commands.clear();
    f.dialogs.ChooseNextFile(chosen);
    f.Find<QPushButton>("cmdWav")->click();

    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].kind, FakeDialogs::Shown::Kind::OpenDialog);
    EXPECT_EQ(f.dialogs.shown[0].text, QStringLiteral("Wavファイル (*.wav)"));
    EXPECT_EQ(f.dialogs.shown[0].preset, kDefaultWav);
    EXPECT_EQ(f.sound.commands, QStringList({"close", "Open " + chosen, "prev", "play"}));
    EXPECT_EQ(w.WavFile(), chosen);

    // The next choice starts from the file now set.
    f.dialogs.ChooseNextFile(QString());
    w.cmdWav_Click();
    EXPECT_EQ(f.dialogs.shown.back().preset, chosen);

    f.Stop();
    EXPECT_EQ(ValueOf(ReadBytes(f.Path(f.services.executableBaseName + ".INI")), "sWavFile"),
              chosen);
}

TEST_P(LifecycleBothEditions, sound_dialog_returning_no_name_changes_nothing) {
    frmTab& w = f.Start(true);
    f.sound.commands.clear();
    f.dialogs.ChooseNextFile(QString());
    w.cmdWav_Click();
    EXPECT_EQ(f.dialogs.Count(FakeDialogs::Shown::Kind::OpenDialog), 1);
    EXPECT_TRUE(f.sound.commands.isEmpty());
    EXPECT_EQ(w.WavFile(), kDefaultWav);
    f.Stop();
    EXPECT_EQ(ValueOf(ReadBytes(f.Path(f.services.executableBaseName + ".INI")), "sWavFile"),
              kDefaultWav);
}

// --- Settings read at start-up ----------------------------------------------------

struct DebugCase {
    const char* value;
    std::int32_t debugSwitch;
};

class LifecycleDebugSwitch : public ::testing::TestWithParam<DebugCase> {};

TEST_P(LifecycleDebugSwitch, only_the_exact_debug_text_switches_the_library_to_debug) {
    WindowFixture f;
    WriteBytes(f.Path("Kalvor.INI"),
               QByteArray("[frmTab]\r\noptDataDebug=") + GetParam().value + "\r\n");
    f.Start(false);
    EXPECT_EQ(f.tablet.debugSwitch, GetParam().debugSwitch);
    f.Stop();
    // Read only: shut-down never writes it back.
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "optDataDebug"),
              QString::fromLatin1(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Values, LifecycleDebugSwitch,
                         ::testing::Values(DebugCase{"Api Padlink", -1}, DebugCase{"api padlink", 0},
                                           DebugCase{"API PADLINK", 0}, DebugCase{"1", 0}));

TEST(LifecycleSettings, stored_settings_are_restored_without_rewriting_the_file) {
    WindowFixture f;
    const QByteArray ini =
        "[frmTab]\r\ntxtInput 0=25\r\ntxtInput 1=5\r\ntxtInput 2=4\r\ntxtInput 3=1000\r\n"
        "cmbSyosu=3\r\ncmdWidth=7\r\ncmbNiten=1\r\nchkZahyoX=1\r\nchkZahyoY=0\r\noptMes=3\r\n"
        "optInput=0\r\nsWavFile=/media/beep.wav\r\n";
    WriteBytes(f.Path("Kalvor.INI"), ini);
    frmTab& w = f.Start(false);

    EXPECT_EQ(f.Find<QLineEdit>("txtInput(0)")->text(), QStringLiteral("25"));
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(3)")->text(), QStringLiteral("1000"));
    EXPECT_EQ(w.Grid().Rows(), 6);
    EXPECT_EQ(w.Grid().Cols(), 5);
    EXPECT_EQ(f.Find<QComboBox>("cmbSyosu")->currentIndex(), 3);
    EXPECT_EQ(f.Find<QComboBox>("cmdWidth")->currentText(), QStringLiteral("1500"));
    for (int j = 1; j < w.Grid().Cols(); ++j) EXPECT_EQ(w.Grid().ColWidth(j), 1500) << j;
    EXPECT_EQ(f.Find<QComboBox>("cmbNiten")->currentIndex(), 1);
    EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(0)")->checkState(), Qt::Checked);
    EXPECT_EQ(f.Find<QCheckBox>("chkZahyo(1)")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(3)")->isChecked());
    EXPECT_EQ(f.Find<QLabel>("lblMesHelp")->text(),
              QStringLiteral("タブレットで、多数の点をクリックしてください。\r\n"
                             "F12キーか、ペンのサイドスイッチで計算を行います。\r\n"
                             "サイドスイッチは、ペンを浮かせたまま押してください。"));
    EXPECT_EQ(w.Engine().lMesMode, 0);
    EXPECT_TRUE(f.Find<QRadioButton>("optInput(0)")->isChecked());
    EXPECT_EQ(w.WavFile(), QStringLiteral("/media/beep.wav"));
    EXPECT_EQ(f.sound.commands, QStringList({"Open /media/beep.wav"}));
    EXPECT_EQ(ReadBytes(f.Path("Kalvor.INI")), ini);
}

TEST(LifecycleSettings, empty_sound_path_brings_back_the_default_and_writes_it) {
    WindowFixture f;
    WriteBytes(f.Path("Kalvor.INI"), "[frmTab]\r\nsWavFile=\r\n");
    frmTab& w = f.Start(false);
    EXPECT_EQ(w.WavFile(), kDefaultWav);
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "sWavFile"), kDefaultWav);
}

struct BadValueCase {
    const char* key;
    const char* stored;
    const char* control;  // the control that must show the key's default
    int expectedIndex;    // list index, or check state, or -1 for "button checked"
    const char* written;  // what shut-down writes
};

class LifecycleBadSetting : public ::testing::TestWithParam<BadValueCase> {};

TEST_P(LifecycleBadSetting, value_that_cannot_be_applied_uses_the_default_until_shut_down) {
    const BadValueCase& c = GetParam();
    WindowFixture f;
    const QByteArray line = QByteArray(c.key) + "=" + c.stored + "\r\n";
    WriteBytes(f.Path("Kalvor.INI"), "[frmTab]\r\n" + line);
    f.Start(false);
    ASSERT_TRUE(f.loaded);

    const QString control = QString::fromLatin1(c.control);
    if (auto* combo = f.Find<QComboBox>(control)) {
        EXPECT_EQ(combo->currentIndex(), c.expectedIndex);
    } else if (auto* box = f.Find<QCheckBox>(control)) {
        EXPECT_EQ(box->checkState(), Qt::Unchecked);
    } else {
        auto* option = f.Find<QRadioButton>(control);
        ASSERT_NE(option, nullptr) << c.control;
        EXPECT_TRUE(option->isChecked());
    }
    // Not corrected behind the operator's back: the file keeps it until the
    // control's value is written at shut-down.
    EXPECT_TRUE(ReadBytes(f.Path("Kalvor.INI")).contains(line));
    f.Stop();
    const QByteArray ini = ReadBytes(f.Path("Kalvor.INI"));
    EXPECT_EQ(ValueOf(ini, QString::fromLatin1(c.key)), QString::fromLatin1(c.written));
    EXPECT_EQ(KeysOf(ini).count(QString::fromLatin1(c.key)), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LifecycleBadSetting,
    ::testing::Values(BadValueCase{"cmbSyosu", "9", "cmbSyosu", 2, "2"},
                      BadValueCase{"cmbSyosu", "-2", "cmbSyosu", 2, "2"},
                      BadValueCase{"cmdWidth", "8", "cmdWidth", 2, "2"},
                      BadValueCase{"cmdWidth", "1.5", "cmdWidth", 2, "2"},
                      BadValueCase{"cmbNiten", "x", "cmbNiten", 0, "0"},
                      BadValueCase{"chkZahyoX", "3", "chkZahyo(0)", 0, "0"},
                      BadValueCase{"optMes", "abc", "optMes(0)", -1, "0"},
                      BadValueCase{"optMes", "6", "optMes(0)", -1, "0"},
                      BadValueCase{"optInput", "-1", "optInput(1)", -1, "1"},
                      BadValueCase{"optInput", "99999999999", "optInput(1)", -1, "1"}));

TEST(LifecycleSettings, reduced_edition_takes_mode_5_as_the_first_mode) {
    WindowFixture f(ReducedEdition());
    WriteBytes(f.Path("Kalvor080125.INI"), "[frmTab]\r\noptMes=5\r\n");
    f.Start(false);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.Find<QRadioButton>("optMes(5)"), nullptr);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(0)")->isChecked());
    f.Stop();
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor080125.INI")), "optMes"), QStringLiteral("0"));
}

TEST(LifecycleSettings, reduced_edition_restores_mode_4) {
    WindowFixture f(ReducedEdition());
    WriteBytes(f.Path("Kalvor080125.INI"), "[frmTab]\r\noptMes=4\r\n");
    f.Start(false);
    EXPECT_TRUE(f.Find<QRadioButton>("optMes(4)")->isChecked());
}

// --- Run marker and recovery (full edition) --------------------------------------

TEST(LifecycleRunMarker, marker_exists_during_the_run_and_goes_at_normal_shut_down) {
    WindowFixture f;
    f.Start(true);
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    f.Stop();
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
}

TEST(LifecycleRunMarker, marker_already_gone_at_shut_down_is_no_obstacle) {
    WindowFixture f;
    f.Start(true);
    ASSERT_TRUE(QFile::remove(f.Path("err.dat")));
    f.Stop();
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "sWavFile"), kDefaultWav);
}

TEST(LifecycleRunMarker, marker_that_cannot_be_created_does_not_stop_start_up) {
    WindowFixture f;
    // A directory in its place: no file of that name can be opened, even by root.
    ASSERT_TRUE(QDir(f.dir.path()).mkdir("err.dat"));
    frmTab& w = f.Start(true);
    ASSERT_TRUE(f.loaded);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(f.dialogs.shown.empty());
    w.PutValue(2.5, true);
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("2.50\r\n"));
    f.Stop();
    EXPECT_EQ(ValueOf(ReadBytes(f.Path("Kalvor.INI")), "WindowState"), QStringLiteral("0"));
}

TEST(LifecycleRunMarker, data_directory_that_cannot_be_written_does_not_stop_start_up) {
    WindowFixture f;
    WriteBytes(f.Path("plain"), "x");
    f.services.dataDirectory = f.Path("plain/sub");
    frmTab& w = f.Start(true);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(f.Find<QLineEdit>("txtInput(3)")->text(), QStringLiteral("800"));
    EXPECT_EQ(f.Find<QComboBox>("cmbSyosu")->currentIndex(), 2);
    w.PutValue(1, true);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("1.00"));
    f.Stop();
    EXPECT_TRUE(f.dialogs.shown.empty());
}

struct RecoveryCase {
    const char* decimals;  // cmbSyosu of the later run
    const char* first;
    const char* second;
};

class LifecycleRecovery : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(LifecycleRecovery, killed_run_is_reloaded_with_the_current_decimals) {
    const RecoveryCase& c = GetParam();
    WindowFixture f;
    frmTab& w = f.Start(true);
    w.PutValue(1.5, true);
    w.PutValue(3.25, true);
    ASSERT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("1.50,3.25\r\n"));
    KillNow(f);
    ASSERT_TRUE(QFile::exists(f.Path("err.dat")));
    Common(f.Path("Kalvor.INI"))
        .WriteSetting(QStringLiteral("frmTab"), QStringLiteral("cmbSyosu"),
                      QString::fromLatin1(c.decimals));

    LaterRun later(f.dir.path(), FullEdition());
    frmTab& again = later.Start();
    ASSERT_TRUE(later.loaded);
    EXPECT_EQ(again.Grid().TextMatrix(1, 1), QString::fromLatin1(c.first));
    EXPECT_EQ(again.Grid().TextMatrix(1, 2), QString::fromLatin1(c.second));
    EXPECT_EQ(again.Grid().UsedRows(), 1);
    EXPECT_EQ(again.Grid().UsedCols(), 2);
    // One row for the line's end and one for the empty piece after it.
    EXPECT_EQ(again.Grid().Row(), 3);
    EXPECT_EQ(again.Grid().Col(), 1);
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")),
              QByteArray(c.first) + "," + QByteArray(c.second) + "\r\n");
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_TRUE(later.dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Decimals, LifecycleRecovery,
                         ::testing::Values(RecoveryCase{"2", "1.50", "3.25"},
                                           RecoveryCase{"0", "2", "3"},
                                           RecoveryCase{"3", "1.500", "3.250"}));

TEST(LifecycleRunMarker, start_after_a_normal_exit_leaves_the_grid_empty) {
    WindowFixture f;
    frmTab& w = f.Start(true);
    w.PutValue(4, true);
    f.Stop();
    ASSERT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("4.00\r\n"));

    LaterRun later(f.dir.path(), FullEdition());
    frmTab& again = later.Start();
    EXPECT_EQ(again.Grid().UsedRows(), 0);
    // The file keeps the previous run's data until this run's first value.
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("4.00\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
}

TEST(LifecycleRunMarker, marker_without_autosave_file_starts_empty) {
    WindowFixture f;
    WriteBytes(f.Path("err.dat"), "err\r\n");
    frmTab& w = f.Start(true);
    ASSERT_TRUE(f.loaded);
    EXPECT_EQ(w.Grid().UsedRows(), 0);
    EXPECT_EQ(w.Grid().Row(), 1);
    EXPECT_EQ(w.Grid().Col(), 1);
    EXPECT_FALSE(QFile::exists(f.Path("Save.csv")));
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(LifecycleRunMarker, reduced_edition_never_creates_autosave_or_marker) {
    WindowFixture f(ReducedEdition());
    frmTab& w = f.Start(true);
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
    w.PutValue(1.5, true);
    EXPECT_EQ(w.Grid().TextMatrix(1, 1), QStringLiteral("1.50"));
    EXPECT_FALSE(QFile::exists(f.Path("Save.csv")));
    KillNow(f);

    LaterRun later(f.dir.path(), ReducedEdition());
    frmTab& again = later.Start();
    EXPECT_EQ(again.Grid().UsedRows(), 0);
    later.Stop();
    EXPECT_FALSE(QFile::exists(f.Path("Save.csv")));
    EXPECT_FALSE(QFile::exists(f.Path("err.dat")));
}

TEST(LifecycleRunMarker, reduced_edition_ignores_a_full_editions_files) {
    WindowFixture f(ReducedEdition());
    WriteBytes(f.Path("err.dat"), "err\r\n");
    WriteBytes(f.Path("Save.csv"), "5\r\n");
    frmTab& w = f.Start(true);
    EXPECT_EQ(w.Grid().UsedRows(), 0);
    f.Stop();
    // Neither read nor deleted.
    EXPECT_EQ(ReadBytes(f.Path("err.dat")), QByteArray("err\r\n"));
    EXPECT_EQ(ReadBytes(f.Path("Save.csv")), QByteArray("5\r\n"));
}

// --- Data directory ------------------------------------------------------------------

TEST(LifecycleDataDirectory, writable_executable_directory_is_used_and_left_clean) {
    QTemporaryDir dir;
    EXPECT_EQ(ResolveDataDirectory(dir.path()), dir.path());
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

class LifecycleUnwritableDirectory : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }
};

TEST_P(LifecycleUnwritableDirectory, falls_back_to_the_per_user_data_directory) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("plain"), "x");
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_FALSE(fallback.isEmpty());
    const bool existedBefore = QDir(fallback).exists();

    const QString resolved = ResolveDataDirectory(dir.filePath(QString::fromLatin1(GetParam())));
    EXPECT_EQ(resolved, fallback);
    EXPECT_TRUE(QDir(fallback).exists());
    if (!existedBefore) QDir(fallback).removeRecursively();
}

INSTANTIATE_TEST_SUITE_P(Paths, LifecycleUnwritableDirectory,
                         ::testing::Values("plain", "plain/sub", "plain/sub/deeper"));

// --- The real sound player ---------------------------------------------------------------

namespace {

// A valid PCM wave file: 44-byte header, 8 kHz, mono, 16 bit, 50 ms of silence.
QByteArray TinyWave() {
    const quint32 dataBytes = 800;
    QByteArray b;
    auto u32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&b](quint16 v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>(v >> 8));
    };
    b.append("RIFF");
    u32(36 + dataBytes);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);      // PCM
    u16(1);      // mono
    u32(8000);   // samples per second
    u32(16000);  // bytes per second
    u16(2);      // block align
    u16(16);     // bits per sample
    b.append("data");
    u32(dataBytes);
    b.append(QByteArray(static_cast<int>(dataBytes), '\0'));
    return b;
}

}  // namespace

TEST(LifecycleSoundPlayer, missing_file_and_commands_in_any_order_are_harmless) {
    QtSoundPlayer player;
    player.Prev();
    player.Play();
    player.Close();
    player.Open(QStringLiteral("/nonexistent/dir/chord.wav"));
    player.Prev();
    player.Play();
    player.Open(kDefaultWav);
    player.Play();
    player.Close();
    player.Close();
    QApplication::processEvents();
    SUCCEED();
}

TEST(LifecycleSoundPlayer, playing_a_wave_file_returns_at_once) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tiny.wav");
    WriteBytes(path, TinyWave());
    ASSERT_EQ(ReadBytes(path).size(), 44 + 800);

    QtSoundPlayer player;
    player.Open(path);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    player.Prev();
    player.Play();
    player.Prev();
    player.Play();
    EXPECT_LT(timer.elapsed(), 500);
    // Let the backend load and play while the program would go on.
    QTest::qWait(200);
    player.Prev();
    player.Play();
    player.Close();
    QApplication::processEvents();
}
