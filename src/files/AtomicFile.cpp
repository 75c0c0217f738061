#include "files/AtomicFile.h"

#include "files/AtomicFileCommit.h"
#include "files/FileReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString kTemporaryInfix = QStringLiteral(".kalvor-");

FileWriteResult Failed(const QString& reason) { return FileWriteResult{false, reason}; }

// The written bytes reach the disk before the rename can make them the file.
#ifdef Q_OS_WIN
// Qt holds its files through the system's own handles, without a C runtime
// descriptor to sync: the closed file is opened again for that.
bool SyncFile(const QString& path) {
    const HANDLE handle = CreateFileW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool synced = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return synced;
}
#else
bool SyncFile(QFile& file) { return ::fsync(file.handle()) == 0; }
#endif

// Puts the new file in the old one's place in one step; on failure, why.
bool ReplaceFile(const QString& from, const QString& to, QString& why) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    wchar_t* text = nullptr;
    const DWORD error = GetLastError();
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    why = WindowsFileReason(error, text != nullptr ? QString::fromWCharArray(text).trimmed()
                                                   : QStringLiteral("error %1").arg(error));
    LocalFree(text);
    return false;
#else
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    why = FileReason(errno);
    return false;
#endif
}

// The rename is an entry in the directory: without this a power cut right
// after a value could bring the previous file back.
void SyncDirectory(const QString& directory) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(directory);  // MOVEFILE_WRITE_THROUGH returns once the move is on disk
#endif
}

}  // namespace

namespace {

// The new content's file beside the target, named so that a leftover is
// known as ours; removed again unless it was put in the target's place.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString& stem) {
        static const char kLetters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 16 && !file_.isOpen(); ++attempt) {
            QString name = stem;
            for (int i = 0; i < 6; ++i)
                name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
            file_.setFileName(name);
            errno = 0;
            if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                created_ = true;
                return;
            }
            error_ = errno;
            if (!QFileInfo::exists(name)) return;  // not a clash: a real failure
        }
    }
    ~TemporaryFile() {
        file_.close();
        // Only the file this writer made: after a clash the name is someone
        // else's.
        if (created_ && !kept_) QFile::remove(file_.fileName());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    QFile& File() { return file_; }
    // The system's error number of the failed creation; 0 when not known.
    int Error() const { return error_; }
    void Keep() { kept_ = true; }

private:
    QFile file_;
    bool created_ = false;
    bool kept_ = false;
    int error_ = 0;
};

}  // namespace

FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes, Links links) {
    QFileInfo target(path);
    FileKind kind = KindAt(path);
    if (kind == FileKind::Link) {
        // A link planted in place of one of the program's own files must not
        // make it replace what the link names.
        if (links == Links::Refuse)
            return Failed(QStringLiteral("シンボリックリンクになっているため書き込みません"));
        target = QFileInfo(target.symLinkTarget());
        kind = KindAt(target.absoluteFilePath());
    }
    if (target.isDir()) return Failed(QStringLiteral("同じ名前のフォルダーがあります"));
    // A device or a FIFO would be replaced by a regular file.
    if (kind != FileKind::Missing && kind != FileKind::Regular)
        return Failed(QStringLiteral("通常のファイルではないため書き込みません"));
    const QString directory = target.absolutePath();
    if (!QFileInfo(directory).isDir()) return Failed(QStringLiteral("フォルダーがありません"));

    TemporaryFile temporary(QDir(directory).filePath(target.fileName() + kTemporaryInfix));
    QFile& file = temporary.File();
    if (!file.isOpen()) return Failed(FileReason(temporary.Error(), file.errorString()));
    // A replaced file keeps who may read and write it; a new one gets the
    // usual read-write for its owner and read for everyone else.
    file.setPermissions(target.exists() ? QFile(target.filePath()).permissions()
                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadUser | QFileDevice::WriteUser |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = errno;
        return Failed(FileReason(error, file.errorString()));
    }
#ifdef Q_OS_WIN
    file.close();
    if (!SyncFile(file.fileName())) return Failed(QStringLiteral("ディスクに書き込めません"));
#else
    if (!SyncFile(file)) return Failed(FileReason(errno));
    file.close();
#endif
    if (!MayCommitAtomicWrite(path)) return Failed(QStringLiteral("中断されました"));

    QString why;
    if (!ReplaceFile(file.fileName(), target.absoluteFilePath(), why)) return Failed(why);
    temporary.Keep();
    SyncDirectory(directory);
    return FileWriteResult{true, QString()};
}

int RemoveWriteLeftovers(const QString& path) {
    const QFileInfo target(path);
    const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName() + kTemporaryInfix) +
        QStringLiteral("[A-Za-z0-9]{6}")));
    QDir directory = target.absoluteDir();
    int removed = 0;
    const QStringList names = directory.entryList(
        {target.fileName() + kTemporaryInfix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        if (ours.match(name).hasMatch() && directory.remove(name)) ++removed;
    }
    return removed;
}
