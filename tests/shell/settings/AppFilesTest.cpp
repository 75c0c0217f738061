#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include "shell/AppFiles.h"
#include "shell/DataDirectoryLock.h"
#include "shell/InstanceGuard.h"
#include "shell/RunLock.h"
#include "QStringPrinter.h"
#include "SettingsTestFiles.h"

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TEST(AppFiles, first_start_in_the_per_user_directory_takes_the_settings_beside_the_executable) {
    QTemporaryDir exe;
    QTemporaryDir mine;
    const QByteArray admin("[frmTab]\r\noptDataDebug=Api Padlink\r\n");
    ASSERT_TRUE(WriteBytes(exe.filePath("Kalvor.INI"), admin));

    EXPECT_TRUE(PreparePerUserDirectory(mine.path(), exe.path(), "Kalvor")) << "the first start";
    EXPECT_EQ(ReadBytes(mine.filePath("Kalvor.INI")), admin);
    ASSERT_TRUE(WriteBytes(mine.filePath("Kalvor.INI"), "[frmTab]\r\nk=mine\r\n"));
    EXPECT_FALSE(PreparePerUserDirectory(mine.path(), exe.path(), "Kalvor")) << "not the first";
    EXPECT_EQ(ReadBytes(mine.filePath("Kalvor.INI")), QByteArray("[frmTab]\r\nk=mine\r\n"));

    QTemporaryDir empty;
    EXPECT_TRUE(PreparePerUserDirectory(empty.path(), QDir::tempPath() + "/none", "Kalvor"));
    EXPECT_FALSE(QFile::exists(empty.filePath("Kalvor.INI")));
    EXPECT_FALSE(PreparePerUserDirectory(exe.path(), exe.path(), "Kalvor")) << "no per-user directory";
}

#ifdef Q_OS_UNIX
// A link or another kind of file in the marker's place is the operator's
// to see: never followed, written or removed, and no marker of ours.
TEST(AppFiles, run_marker_never_follows_replaces_or_counts_what_is_not_a_file_of_its_own) {
    QTemporaryDir dir;
    const QString victim = dir.filePath("precious.txt");
    ASSERT_TRUE(WriteBytes(victim, "keep me\n"));
    const QString marker = dir.filePath("err.dat");
    ASSERT_TRUE(QFile::link(victim, marker));
    QString why;
    EXPECT_FALSE(CreateRunMarker(marker, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(ReadBytes(victim), QByteArray("keep me\n"));
    EXPECT_TRUE(QFileInfo(marker).isSymLink());
    EXPECT_FALSE(RunMarkerPresent(marker)) << "a link to a file is no marker";
    ASSERT_TRUE(QFile::remove(marker));
    ASSERT_EQ(::mkfifo(QFile::encodeName(marker).constData(), 0600), 0);
    EXPECT_FALSE(CreateRunMarker(marker));
    EXPECT_FALSE(RunMarkerPresent(marker));
}

// Removed and made again, the marker would be missing for a moment: a kill
// then leaves no marker, and the next start would not bring the grid back.
TEST(AppFiles, run_marker_left_by_a_killed_run_stays_in_place_while_the_next_run_starts) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("err.dat");
    ASSERT_TRUE(WriteBytes(marker, "err\r\n"));
    // A second name for the same file: still shared if the marker was never
    // removed (a new inode may reuse the old number, a link count cannot lie).
    ASSERT_EQ(::link(QFile::encodeName(marker).constData(),
                     QFile::encodeName(dir.filePath("second")).constData()),
              0);
    EXPECT_TRUE(CreateRunMarker(marker));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(marker).constData(), &after), 0);
    EXPECT_EQ(after.st_nlink, 2u) << "the same file, never removed";
    EXPECT_EQ(ReadBytes(marker), QByteArray("err\r\n"));
}

// A copy killed between creating its lock file and writing its name into it
// leaves the file empty. Left alone, every later start would take it for a
// running copy and end, for good. It is taken over, but never from a live
// copy that holds the file's system lock while it writes its name.
TEST(Locks, an_empty_lock_file_of_a_killed_copy_is_taken_over_but_not_a_live_ones) {
    QTemporaryDir dir;
    // A process that has ended, for a lock whose owner is dead.
    QProcess ended;
    ended.start("true", {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    struct Kind {
        const char* name;
        std::function<std::shared_ptr<void>()> hold;  // empty when not taken
    };
    const Kind kinds[] = {
        {"data directory",
         [&]() -> std::shared_ptr<void> {
             auto lock = std::make_shared<DataDirectoryLock>(dir.path());
             return lock->Held() ? lock : nullptr;
         }},
        {"single copy",
         [&]() -> std::shared_ptr<void> {
             auto guard = std::make_shared<InstanceGuard>("/opt/kalvor/Kalvor", dir.path());
             return guard->PreviousInstance() ? nullptr : guard;
         }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const QStringList others = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QString path;
        {
            const std::shared_ptr<void> held = kind.hold();
            ASSERT_TRUE(held);
            for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
                if (!others.contains(name) && name.endsWith(".lock")) path = dir.filePath(name);
        }
        ASSERT_FALSE(path.isEmpty());

        ASSERT_TRUE(WriteBytes(path, ""));
        EXPECT_TRUE(kind.hold()) << "an empty lock of a dead copy";

        ASSERT_TRUE(WriteBytes(path, ""));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        EXPECT_FALSE(kind.hold()) << "a live copy still writing its name";
        ::close(fd);

        // Qt removes a dead copy's lock under a guard file; a copy killed
        // while making that one leaves it empty, and it blocked every start
        // for half a minute.
        ASSERT_TRUE(WriteBytes(path, QByteArray::number(deadPid) + "\nKalvor\n" +
                             QSysInfo::machineHostName().toUtf8() + "\n"));
        ASSERT_TRUE(WriteBytes(path + ".rmlock", ""));
        EXPECT_TRUE(kind.hold()) << "a dead copy's lock behind an empty guard";
        EXPECT_FALSE(QFile::exists(path + ".rmlock"));
        QFile::remove(path);
    }
}
#endif

TEST(InstanceGuard, a_second_copy_finds_the_lock_in_the_users_directory_and_wakes_the_first) {
    QTemporaryDir runtime;
    InstanceGuard first("/opt/kalvor/Kalvor", runtime.path());
    ASSERT_FALSE(first.PreviousInstance());
    int woken = 0;
    first.OnWakeRequest([&] { ++woken; });

    InstanceGuard second("/opt/kalvor/Kalvor", runtime.path());
    EXPECT_TRUE(second.PreviousInstance());
    EXPECT_FALSE(InstanceGuard("/opt/kalvor/Kalvor080125", runtime.path()).PreviousInstance())
        << "another executable is not a second copy";
    second.WakeRunningCopy();
    QDeadlineTimer deadline(5000);
    while (woken == 0 && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_GE(woken, 1) << "at least once: some systems report a rewrite as two changes";
#ifdef Q_OS_UNIX
    EXPECT_TRUE(InstanceGuard::DefaultLockDirectory() != QDir::tempPath())
        << "not the shared temporary directory";
#endif
}

TEST(DataDirectoryLock, one_running_copy_per_data_directory) {
    QTemporaryDir data;
    auto first = std::make_unique<DataDirectoryLock>(data.path());
    EXPECT_TRUE(first->Held());
    const DataDirectoryLock second(data.path());
    EXPECT_FALSE(second.Held());
    EXPECT_TRUE(second.Problem().isEmpty()) << "another copy, not a problem of the folder";
    first.reset();
    EXPECT_TRUE(DataDirectoryLock(data.path()).Held()) << "free again once the first copy ends";

    // A folder that takes no file, and a link in the lock's place (left as
    // it stands), are said as what they are, not as another copy.
    const DataDirectoryLock nowhere(data.filePath(QStringLiteral("missing/deeper")));
    EXPECT_FALSE(nowhere.Held());
    EXPECT_FALSE(nowhere.Problem().isEmpty());
#ifdef Q_OS_UNIX
    QTemporaryDir planted;
    ASSERT_TRUE(QFile::link(data.filePath(QStringLiteral("elsewhere")),
                            planted.filePath(QStringLiteral(".kalvor.lock"))));
    const DataDirectoryLock linked(planted.path());
    EXPECT_FALSE(linked.Held());
    EXPECT_TRUE(linked.Problem().contains(QStringLiteral("シンボリックリンク")));
    EXPECT_TRUE(QFileInfo(planted.filePath(QStringLiteral(".kalvor.lock"))).isSymLink());
#endif
}

TEST(RunLock, a_lock_left_by_an_earlier_process_with_this_ones_id_is_taken_over) {
    QTemporaryDir dir;
    // What a killed run left: a lock naming this very process id, as under
    // Wine, where a restarted program often gets the killed one's id.
    QByteArray left;
    {
        QLockFile sample(dir.filePath("sample.lock"));
        ASSERT_TRUE(sample.tryLock(0));
        left = ReadBytes(dir.filePath("sample.lock"));
    }
    const QString path = dir.filePath("kalvor.lock");
    ASSERT_TRUE(WriteBytes(path, left));
    RunLock taken(path);
    EXPECT_TRUE(taken.Held());
    EXPECT_FALSE(RunLock(path).Held()) << "held by this process now: not taken twice";
}

}  // namespace
