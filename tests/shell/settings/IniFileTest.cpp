#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "CommitGate.h"
#include "files/AtomicFile.h"
#include "FullDisk.h"
#include "shell/IniFile.h"
#include "QStringPrinter.h"
#include "SettingsTestFiles.h"

namespace {

const QByteArray kOneKey("[frmTab]\r\nk=1\r\n");

class IniFileTest : public ::testing::Test {
  protected:
    QString PathOf(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
    // Names and values are ASCII or UTF-8 literals.
    static bool Write(const QString& path, const QString& key, const QString& value,
                      const QString& section = "frmTab") {
        return IniFile(path).Write(section, key, value);
    }
    static std::optional<QString> Read(const QString& path, const char* key) {
        return IniFile(path).Read(QStringLiteral("frmTab"), QString::fromUtf8(key));
    }

    QTemporaryDir dir_;
    const QString ini_ = PathOf("Kalvor.INI");
};

TEST_F(IniFileTest, first_write_creates_section_and_key_with_crlf) {
    ASSERT_TRUE(Write(ini_, "txtInput 0", "10"));
    EXPECT_EQ(ReadBytes(ini_), QByteArray("[frmTab]\r\ntxtInput 0=10\r\n"));
}

TEST_F(IniFileTest, read_matches_profile_string_lookup) {
    const struct {
        const char* name;
        QByteArray file;
        const char* key;
        std::optional<const char*> expected;
    } cases[] = {
        {"plain", "[frmTab]\r\ntxtInput 0=10\r\n", "txtInput 0", "10"},
        {"key and section in other case", "[FRMTAB]\r\nTXTINPUT 0=10\r\n", "txtInput 0", "10"},
        {"blanks around everything", "  [ frmTab ] \r\n \t txtInput 0 \t=  a b \t\r\n",
         "txtInput 0", "a b"},
        {"value keeps its case", "[frmTab]\r\nk=Api Padlink\r\n", "K", "Api Padlink"},
        {"double quotes dropped", "[frmTab]\r\nk=\"C:\\a b.wav\"\r\n", "k", "C:\\a b.wav"},
        {"single quotes dropped", "[frmTab]\r\nk='x'\r\n", "k", "x"},
        {"unmatched quotes kept", "[frmTab]\r\nk=\"x'\r\n", "k", "\"x'"},
        {"lone quote kept", "[frmTab]\r\nk=\"\r\n", "k", "\""},
        {"empty value", "[frmTab]\r\nk=\r\n", "k", ""},
        {"value holds '='", "[frmTab]\r\nk=a=b\r\n", "k", "a=b"},
        {"LF and CR line ends", "[frmTab]\nx=1\ry=2\r", "y", "2"},
        {"first of two keys", "[frmTab]\r\nk=1\r\nk=2\r\n", "k", "1"},
        {"key in another section", "[other]\r\nk=1\r\n[frmTab]\r\nj=2\r\n", "k", std::nullopt},
        {"key above every section", "k=1\r\n[frmTab]\r\n", "k", std::nullopt},
        {"commented out", "[frmTab]\r\n;k=1\r\n", "k", std::nullopt},
        {"line without '='", "[frmTab]\r\nk\r\n", "k", std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(ini_, c.file));
        const auto expected =
            c.expected ? std::optional(QString::fromUtf8(*c.expected)) : std::nullopt;
        EXPECT_EQ(Read(ini_, c.key), expected) << c.name;
    }
}

TEST_F(IniFileTest, write_changes_only_the_line_of_its_key) {
    const struct {
        const char* name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"replaced in place, caller's spelling", "; kept\r\n[FrmTab]\r\n  K = 7 \r\nnext=1\r\n",
         "; kept\r\n[FrmTab]\r\nk=V\r\nnext=1\r\n"},
        {"new key at the end of its section, before the blank lines",
         "[frmTab]\r\na=1\r\n;note\r\n\r\n \r\n[other]\r\nk=old\r\n",
         "[frmTab]\r\na=1\r\n;note\r\nk=V\r\n\r\n \r\n[other]\r\nk=old\r\n"},
        {"new key in a section of blank lines only", "[frmTab]\r\n\r\n[other]\r\n",
         "[frmTab]\r\nk=V\r\n\r\n[other]\r\n"},
        {"missing section appended without a blank line", "[other]\r\nk=1\r\n",
         "[other]\r\nk=1\r\n[frmTab]\r\nk=V\r\n"},
        {"missing section after a last line without line end", "[other]\r\nk=1",
         "[other]\r\nk=1\r\n[frmTab]\r\nk=V\r\n"},
        {"LF and CR files come back with CR LF", "[a]\nx=1\r[frmTab]\n",
         "[a]\r\nx=1\r\n[frmTab]\r\nk=V\r\n"},
        {"undecodable bytes of other lines survive", "[a]\r\nx=\xff\xfe\x81\r\n",
         "[a]\r\nx=\xff\xfe\x81\r\n[frmTab]\r\nk=V\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(ini_, c.before));
        EXPECT_TRUE(Write(ini_, "k", "V")) << c.name;
        EXPECT_EQ(ReadBytes(ini_), c.after) << c.name;
    }
}

// A line end would let a value forge lines of its own, a '[' or '=' in a
// name would change how its line parses: such writes are refused whole.
TEST_F(IniFileTest, write_refuses_what_a_line_cannot_hold) {
    const char* const cases[][3] = {
        {"frmTab", "k", "x\r\n[frmTab]\r\nk=2"},
        {"frmTab", "k", "x\ny"},
        {"frmTab", "a=b", "1"},
        {"frmTab", "[k", "1"},
        {"frmTab", ";k", "1"},
        {"frmTab", " ", "1"},
        {"frm]Tab", "k", "1"},
        {"", "k", "1"},
    };
    for (const auto& [section, key, value] : cases) {
        ASSERT_TRUE(WriteBytes(ini_, kOneKey));
        EXPECT_FALSE(Write(ini_, key, value, section)) << section << " " << key;
        EXPECT_EQ(ReadBytes(ini_), kOneKey) << section << " " << key;
    }
}

TEST_F(IniFileTest, write_stops_at_nul_like_a_c_string) {
    ASSERT_TRUE(Write(ini_, "k", QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd")));
    EXPECT_EQ(ReadBytes(ini_), QByteArray("[frmTab]\r\nk=ab\r\n"));
}

// These fail for root as well, so they run everywhere.
TEST_F(IniFileTest, unusable_path_reads_nothing_and_refuses_writes) {
    ASSERT_TRUE(WriteBytes(PathOf("plain"), "not a directory"));
    const QString underFile = PathOf("plain/Kalvor.INI");
    EXPECT_EQ(Read(underFile, "k"), std::nullopt);
    EXPECT_FALSE(Write(underFile, "k", "1"));
    EXPECT_EQ(ReadBytes(PathOf("plain")), QByteArray("not a directory"));

    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("Kalvor.INI")));
    EXPECT_EQ(Read(ini_, "k"), std::nullopt);
    EXPECT_FALSE(Write(ini_, "k", "1"));
    EXPECT_TRUE(QDir(ini_).exists());
}

TEST_F(IniFileTest, read_only_or_unreadable_file_is_left_as_it_was) {
    if (PermissionsAreIgnored()) {
        GTEST_SKIP() << "permissions do not bind root";
    }
#ifdef Q_OS_WIN
    // Windows knows a read-only file, but no file its owner cannot read.
    const auto modes = {QFileDevice::ReadOwner};
#else
    const auto modes = {QFileDevice::ReadOwner, QFileDevice::WriteOwner};
#endif
    for (const auto mode : modes) {
        QFile::remove(ini_);
        ASSERT_TRUE(WriteBytes(ini_, kOneKey));
        ASSERT_TRUE(QFile::setPermissions(ini_, mode));
        EXPECT_FALSE(Write(ini_, "k", "2"));
        if (mode == QFileDevice::WriteOwner) {
            EXPECT_EQ(Read(ini_, "k"), std::nullopt);
        }
        QFile::setPermissions(ini_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(ReadBytes(ini_), kOneKey);
    }
}

#ifdef Q_OS_UNIX
TEST_F(IniFileTest, read_only_directory_takes_no_new_file_but_rewrites_a_writable_one) {
    const QString sub = PathOf("sub");
    const QString ini = sub + QStringLiteral("/Kalvor.INI");
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(WriteBytes(ini, kOneKey));
    ASSERT_TRUE(QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_TRUE(Write(ini, "k", "2"));
    EXPECT_EQ(ReadBytes(ini), QByteArray("[frmTab]\r\nk=2\r\n"));
    if (!PermissionsAreIgnored()) {
        const QString absent = sub + QStringLiteral("/Other.INI");
        EXPECT_FALSE(Write(absent, "k", "1"));
        EXPECT_FALSE(QFile::exists(absent));
    }
    QFile::setPermissions(sub,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
#endif

TEST_F(IniFileTest, a_full_disk_leaves_the_old_file_whole_never_empty) {
    ASSERT_TRUE(WriteBytes(ini_, kOneKey));
    {
        FullDisk full(kOneKey.size() + 4);
        if (!full.Active()) GTEST_SKIP() << "no file size limit here";
        EXPECT_FALSE(Write(ini_, "long", QString(100, QLatin1Char('x'))));
        IniFile batched(ini_);
        batched.BeginBatch();
        EXPECT_TRUE(batched.Write(QStringLiteral("frmTab"), QStringLiteral("a"), QStringLiteral("123456")));
        EXPECT_EQ(batched.Read(QStringLiteral("frmTab"), QStringLiteral("a")), QStringLiteral("123456"));
        EXPECT_FALSE(batched.EndBatch());
    }
    EXPECT_EQ(ReadBytes(ini_), kOneKey);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Kalvor.INI"})
        << "no temporary file is left";
}

TEST_F(IniFileTest, a_batch_writes_once_with_the_bytes_of_one_write_each) {
    const QStringList keys = {"txtInput 0", "cmbSyosu", "optMes", "txtInput 0"};
    for (int i = 0; i < keys.size(); ++i) ASSERT_TRUE(Write(ini_, keys[i], QString::number(i)));
    const QByteArray oneByOne = ReadBytes(ini_);
    QFile::remove(ini_);

    int writes = 0;
    SetBeforeCommitHookForTest([&](const QString&) {
        ++writes;
        return true;
    });
    IniFile file(ini_);
    file.BeginBatch();
    file.BeginBatch();  // nested: the outer pair counts
    for (int i = 0; i < keys.size(); ++i) file.Write(QStringLiteral("frmTab"), keys[i], QString::number(i));
    EXPECT_TRUE(file.EndBatch());
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(file.EndBatch());
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(ReadBytes(ini_), oneByOne);
    // Nothing changed: the file is not written at all.
    file.BeginBatch();
    file.Write(QStringLiteral("frmTab"), QStringLiteral("optMes"), QStringLiteral("2"));
    EXPECT_TRUE(file.EndBatch());
    EXPECT_TRUE(file.Write(QStringLiteral("frmTab"), QStringLiteral("cmbSyosu"), QStringLiteral("1")));
    EXPECT_EQ(writes, 1);
    SetBeforeCommitHookForTest(nullptr);
}

}  // namespace
