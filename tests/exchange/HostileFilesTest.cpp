// The file reader and writer against what may stand in a file's place: a
// symbolic link to a file elsewhere, a FIFO, a device, a file far too large.
// The program's own files are never read or written through a link nor onto
// anything but a regular file; a file the operator chose may be a link to a
// regular one. Nothing waits for a FIFO's writer.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "files/AtomicFile.h"
#include "FileBytes.h"
#include "QStringPrinter.h"
#include "files/RegularFile.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>

namespace {

struct Place {
    QTemporaryDir outside;
    QTemporaryDir data;
    QString victim = outside.filePath(QStringLiteral("precious.txt"));
    QString own = data.filePath(QStringLiteral("Save.csv"));

    Place() { EXPECT_TRUE(WriteBytes(victim, "keep me\n")); }
    void Link() { ASSERT_TRUE(QFile::link(victim, own)); }
    void Fifo() { ASSERT_EQ(::mkfifo(QFile::encodeName(own).constData(), 0600), 0); }
};

}  // namespace

TEST(HostileFiles, own_files_are_never_written_through_a_link_nor_onto_a_fifo) {
    for (const Links links : {Links::Refuse, Links::Follow}) {
        Place p;
        p.Link();
        const FileWriteResult written = WriteFileAtomically(p.own, "100.00\r\n", links);
        if (links == Links::Refuse) {
            EXPECT_FALSE(written.ok);
            EXPECT_FALSE(written.reason.isEmpty());
            EXPECT_EQ(ReadBytes(p.victim), QByteArray("keep me\n"));
            EXPECT_TRUE(QFileInfo(p.own).isSymLink()) << "left as it stands";
        } else {
            // The operator's own choice: the file the link names.
            EXPECT_TRUE(written.ok) << written.reason.toStdString();
            EXPECT_EQ(ReadBytes(p.victim), QByteArray("100.00\r\n"));
        }
    }
    for (const Links links : {Links::Refuse, Links::Follow}) {
        Place p;
        p.Fifo();
        EXPECT_FALSE(WriteFileAtomically(p.own, "1\r\n", links).ok);
        EXPECT_EQ(KindAt(p.own), FileKind::Other) << "the FIFO is not replaced";
    }
    Place device;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device.own));
    EXPECT_FALSE(WriteFileAtomically(device.own, "1\r\n", Links::Follow).ok)
        << "a link to a device is no regular file";
}

TEST(HostileFiles, reads_are_bounded_and_follow_a_link_only_when_asked) {
    Place p;
    ASSERT_TRUE(WriteBytes(p.own, "12345"));
    EXPECT_EQ(ReadRegularFile(p.own, 5, Links::Refuse).bytes, QByteArray("12345"));
    EXPECT_EQ(ReadRegularFile(p.own, 4, Links::Refuse).status, FileReadResult::Status::TooLarge);
    EXPECT_EQ(ReadRegularFile(p.data.filePath(QStringLiteral("none")), 5, Links::Refuse).status,
              FileReadResult::Status::Missing);
#ifdef Q_OS_LINUX
    // Longer than its size says (the kernel's own files claim none): read to
    // its end all the same, and refused past the bound.
    QFile version(QStringLiteral("/proc/version"));
    ASSERT_TRUE(version.open(QIODevice::ReadOnly));
    const QByteArray whole = version.readAll();
    ASSERT_GT(whole.size(), 1);
    EXPECT_EQ(ReadRegularFile(version.fileName(), 4096, Links::Refuse).bytes, whole);
    EXPECT_EQ(ReadRegularFile(version.fileName(), whole.size() - 1, Links::Refuse).status,
              FileReadResult::Status::TooLarge);
#endif

    ASSERT_TRUE(QFile::remove(p.own));
    p.Link();
    EXPECT_EQ(ReadRegularFile(p.own, 100, Links::Refuse).status, FileReadResult::Status::Link);
    EXPECT_EQ(ReadRegularFile(p.own, 100, Links::Follow).bytes, QByteArray("keep me\n"));
    // A FIFO and an endless device, refused unread and at once, are the
    // recording readers' cases (EvdevPadChoice, ReplayPadLink).
}

#endif
