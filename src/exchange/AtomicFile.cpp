#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString kTemporaryInfix = QStringLiteral(".kalvor-");

std::function<bool(const QString&)>& BeforeCommitHook() {
    static std::function<bool(const QString&)> hook;
    return hook;
}

FileWriteResult Failed(const QString& reason) { return FileWriteResult{false, reason}; }

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The written bytes reach the disk before the rename can make them the file.
bool SyncFile(QFile& file) {
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

bool ReplaceFile(const QString& from, const QString& to, int& error) {
#ifdef Q_OS_WIN
    const bool ok = MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                                reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    error = ok ? 0 : EIO;
    return ok;
#else
    const bool ok = ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
    error = ok ? 0 : errno;
    return ok;
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

void SetBeforeCommitHookForTest(std::function<bool(const QString& path)> hook) {
    BeforeCommitHook() = std::move(hook);
}

FileWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    QFileInfo target(path);
    if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
    if (target.isDir()) return Failed(QStringLiteral("同じ名前のフォルダーがあります"));
    const QString directory = target.absolutePath();
    if (!QFileInfo(directory).isDir()) return Failed(QStringLiteral("フォルダーがありません"));

    QTemporaryFile temporary(QDir(directory).filePath(target.fileName() + kTemporaryInfix +
                                                       QStringLiteral("XXXXXX")));
    if (!temporary.open()) return Failed(temporary.errorString());
    // A replaced file keeps who may read and write it; a new one gets the
    // usual read-write for its owner and read for everyone else.
    temporary.setPermissions(target.exists() ? QFile(target.filePath()).permissions()
                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
    errno = 0;
    if (temporary.write(bytes) != bytes.size() || !temporary.flush()) {
        const int error = errno;
        return Failed(error != 0 ? SystemReason(error) : temporary.errorString());
    }
    if (!SyncFile(temporary)) return Failed(SystemReason(errno));
    const std::function<bool(const QString&)>& hook = BeforeCommitHook();
    if (hook && !hook(path)) return Failed(QStringLiteral("中断されました"));
    temporary.close();

    int error = 0;
    if (!ReplaceFile(temporary.fileName(), target.absoluteFilePath(), error)) {
        return Failed(SystemReason(error));
    }
    temporary.setAutoRemove(false);
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
