// The window's own files with something planted in their place: a link to a
// file elsewhere, a FIFO, a settings file far too large. Each is left as it
// stands, nothing outside the data directory changes, nothing waits, and the
// operator is told which file and why.

#ifdef __linux__

#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "QStringPrinter.h"
#include "files/RegularFile.h"
#include "WindowFixture.h"

namespace {

struct Planted {
    QTemporaryDir outside;
    QString victim = outside.filePath(QStringLiteral("precious.txt"));
    WindowFixture f;

    Planted() { EXPECT_TRUE(WriteBytes(victim, "keep me\n")); }
    void LinkInPlaceOf(const char* name) {
        ASSERT_TRUE(QFile::link(victim, f.Path(QString::fromLatin1(name))));
    }
    void FifoInPlaceOf(const char* name) {
        const QByteArray path = QFile::encodeName(f.Path(QString::fromLatin1(name)));
        ASSERT_EQ(::mkfifo(path.constData(), 0600), 0);
    }
    QStringList Notices() const { return f.dialogs.Texts(FakeDialogs::Shown::Kind::Notice); }
};

}  // namespace

TEST(WindowHostileFiles, an_autosave_link_is_neither_read_nor_written_and_the_title_says_why) {
    for (const bool crashed : {false, true}) {
        Planted p;
        p.LinkInPlaceOf("Save.csv");
        if (crashed) {
            ASSERT_TRUE(WriteBytes(p.f.Path(QStringLiteral("err.dat")), "err\r\n"));
        }
        frmTab& w = p.f.Start();
        EXPECT_EQ(w.Grid().UsedRows(), 0) << "recovery reads no link";
        w.PutValue(100, true);
        EXPECT_EQ(ReadBytes(p.victim), QByteArray("keep me\n"));
        EXPECT_TRUE(QFileInfo(p.f.Path(QStringLiteral("Save.csv"))).isSymLink());
        EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("※自動保存できません")))
            << w.windowTitle().toStdString();
        p.f.Stop();
    }
}

// Read, it would lend the program another file's lines; written, replace it.
TEST(WindowHostileFiles, a_settings_file_that_is_no_file_of_ours_is_left_alone_and_said_once) {
    const std::vector<std::pair<const char*, std::function<void(Planted&)>>> cases = {
        {"link", [](Planted& p) { p.LinkInPlaceOf("Kalvor.INI"); }},
        {"fifo", [](Planted& p) { p.FifoInPlaceOf("Kalvor.INI"); }},
        {"too_large",
         [](Planted& p) {
             // A hundred megabytes of short lines once took a minute to start.
             QByteArray lines;
             while (lines.size() < 2 * 1024 * 1024) lines += "k=v\r\n";
             ASSERT_TRUE(WriteBytes(p.f.Path(QStringLiteral("Kalvor.INI")), lines));
         }},
    };
    for (const auto& [name, plant] : cases) {
        SCOPED_TRACE(name);
        Planted p;
        plant(p);
        const QString ini = p.f.Path(QStringLiteral("Kalvor.INI"));
        const bool regular = KindAt(ini) == FileKind::Regular;
        const QByteArray before = regular ? ReadBytes(ini) : QByteArray();
        QElapsedTimer clock;
        clock.start();
        p.f.Start();
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(p.f.Find<QLineEdit>(QStringLiteral("txtInput(3)"))->text(), QStringLiteral("800"))
            << "the defaults";
        p.f.Find<QLineEdit>(QStringLiteral("txtInput(0)"))->setText(QStringLiteral("25"));
        QApplication::processEvents();
        ASSERT_EQ(p.Notices().size(), 1);
        EXPECT_TRUE(p.Notices()[0].contains(QStringLiteral("Kalvor.INI")))
            << p.Notices()[0].toStdString();
        p.f.Stop();
        EXPECT_EQ(ReadBytes(p.victim), QByteArray("keep me\n"));
        if (regular) {
            EXPECT_EQ(ReadBytes(ini), before);
        }
        EXPECT_EQ(KindAt(ini) == FileKind::Regular, regular) << "left as it stands";
    }
}

#endif
